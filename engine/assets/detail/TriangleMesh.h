// What the model readers gather before a shape is touched: a reader fills
// one of these from the whole file, and only a model that checks out
// replaces the shape's contents, so a refused file leaves the shape as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CShape;

namespace assets_detail
{

// Model files are text or chunks describing at most 65536 vertices; this
// leaves room for verbose ones while bounding memory and time.
inline constexpr uint64_t kMaxModelFileBytes = 64u << 20;
// Indices are 16 bits wide.
inline constexpr size_t kMaxModelVertices = 65536;

struct TriangleMesh
{
    std::vector<float> vertices;  // x, y, z per vertex
    std::vector<float> texCoords; // s, t per vertex, or fewer
    std::vector<uint16_t> indices;
    std::vector<uint8_t> colours; // r, g, b, a per vertex when colourArray
    bool colourArray = false;
};

// Clears the shape and gives it the mesh as triangles with generated
// normals. False, with the shape untouched, when the mesh has no vertices
// or more than 16-bit indices reach.
bool FillShape(const TriangleMesh& mesh, CShape& shape);

// A float colour component 0..1 as a byte, clamped (not-a-number gives 0).
uint8_t ColourByte(float component);

} // namespace assets_detail
