// The mesh everything on screen is drawn from: per-vertex positions, texture
// coordinates shared by every texture unit, normals and byte colours, an
// optional 16-bit index list, a transform with rotation and scale, and a
// material. Pointers to the arrays live until the next count change.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Matrix.h"
#include "core/Vector.h"
#include "render/Draw.h"
#include "render/Material.h"

// One vertex as GetVertex hands it out and CQuad takes it. Colour components
// run from 0 to 255.
struct ShapeVertex
{
    CVector position;
    CVector texCoord;
    CVector normal;
    CVector colour;
};

class CShape : public CDraw
{
public:
    CShape();

    // Through the shared buffer objects when the driver has them, else from
    // the client arrays; leaves blending and texturing off, unit 0 active.
    void Draw() override;

    // Reallocates the four per-vertex arrays, zeroed except the colours,
    // which are white and opaque.
    void SetVertexCount(unsigned count);
    // Reallocates the indices and face normals, zeroed.
    void SetIndexCount(unsigned count);
    void SetCounts(unsigned vertices, unsigned indices);
    void Clear();
    void CopyFrom(const CShape& other);

    // All zero past the end. Untransformed, position, texture coordinate and
    // normal are bound to the arrays (writing them writes the vertex) and the
    // colour is a copy. Transformed, all are copies: the position scaled,
    // rotated and moved by the transform, the normal only rotated.
    ShapeVertex GetVertex(unsigned index, bool transformed = false);

    // Vertex normals from the triangles of the index list or, without one,
    // from the walk over the vertices that the primitive implies.
    void CalculateNormals();

    unsigned GetPrimitive() const { return m_primitive; }
    void SetPrimitive(unsigned primitive) { m_primitive = primitive; }
    unsigned GetVertexCount() const { return m_vertexCount; }
    unsigned GetIndexCount() const { return m_indexCount; }

    float* GetVertices() { return m_vertices.data(); }
    const float* GetVertices() const { return m_vertices.data(); }
    float* GetTexCoords() { return m_texCoords.data(); }
    const float* GetTexCoords() const { return m_texCoords.data(); }
    float* GetNormals() { return m_normals.data(); }
    const float* GetNormals() const { return m_normals.data(); }
    uint8_t* GetColours() { return m_colours.data(); }
    const uint8_t* GetColours() const { return m_colours.data(); }
    uint16_t* GetIndices() { return m_indices.data(); }
    const uint16_t* GetIndices() const { return m_indices.data(); }
    // Triangle k's normal at 3k, 3k + 1, 3k + 2.
    const float* GetFaceNormals() const { return m_faceNormals.data(); }

    // When set, the per-vertex colours drive the diffuse colour.
    bool HasColourArray() const { return m_colourArray; }
    void SetColourArray(bool on) { m_colourArray = on; }

    CMaterial& GetMaterial() { return m_material; }
    const CMaterial& GetMaterial() const { return m_material; }
    // In glMultMatrixf order; its translation places the shape.
    CMatrix& GetTransform() { return m_transform; }
    const CMatrix& GetTransform() const { return m_transform; }

    // Degrees about x, y and z; replaces the transform's rotation part and
    // keeps its translation.
    void SetRotation(float rx, float ry, float rz);
    const CVector& GetRotation() const { return m_rotation; }
    // Applied after the transform.
    void SetScale(float x, float y, float z) { m_scale.Set(x, y, z); }
    const CVector& GetScale() const { return m_scale; }

    // Every shape shares one buffer object per array kind, generated on the
    // first draw in a context. Call this once a new context is current: the
    // names died with the old one, and the next draw generates fresh ones.
    static void ResetSharedBuffers();

private:
    unsigned m_primitive = 0;
    CMatrix m_transform;
    CMaterial m_material;
    bool m_colourArray = false;
    unsigned m_vertexCount = 0;
    unsigned m_indexCount = 0;
    std::vector<float> m_vertices;
    std::vector<float> m_texCoords;
    std::vector<float> m_normals;
    std::vector<uint8_t> m_colours;
    std::vector<uint16_t> m_indices;
    std::vector<float> m_faceNormals;
    CVector m_rotation;
    CVector m_scale;
};
