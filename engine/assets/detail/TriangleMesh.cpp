#include "assets/detail/TriangleMesh.h"

#include <algorithm>
#include <cassert>

#include <GL/gl.h>

#include "render/Shape.h"

namespace assets_detail
{

bool FillShape(const TriangleMesh& mesh, CShape& shape)
{
    const size_t vertexCount = mesh.vertices.size() / 3;
    if (vertexCount == 0 || vertexCount > kMaxModelVertices)
        return false;
    assert(mesh.indices.size() % 3 == 0 && "assets_detail::FillShape(): partial triangle");

    shape.Clear();
    shape.SetPrimitive(GL_TRIANGLES);
    shape.SetCounts(unsigned(vertexCount), unsigned(mesh.indices.size()));
    std::copy(mesh.vertices.begin(), mesh.vertices.begin() + long(vertexCount * 3),
              shape.GetVertices());
    const size_t texFloats = std::min(mesh.texCoords.size(), vertexCount * 2);
    std::copy(mesh.texCoords.begin(), mesh.texCoords.begin() + long(texFloats),
              shape.GetTexCoords());
    std::copy(mesh.indices.begin(), mesh.indices.end(), shape.GetIndices());
    if (mesh.colours.size() == vertexCount * 4)
        std::copy(mesh.colours.begin(), mesh.colours.end(), shape.GetColours());
    shape.SetColourArray(mesh.colourArray);
    shape.CalculateNormals();
    return true;
}

uint8_t ColourByte(float component)
{
    const float scaled = component * 255.0f;
    // Written so that not-a-number fails both tests and lands on 0.
    if (!(scaled > 0.0f))
        return 0;
    if (!(scaled < 255.0f))
        return 255;
    return uint8_t(scaled);
}

} // namespace assets_detail
