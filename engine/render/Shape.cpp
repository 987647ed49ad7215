// Normals are accumulated straight into the normal array; the draw path
// itself lives in detail/ShapeDraw so that tests can take every branch.

#include "render/Shape.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include <GL/gl.h>

#include "core/Rotation.h"
#include "render/Extensions.h"
#include "render/detail/ShapeDraw.h"

namespace
{

CVector At(const std::vector<float>& array, long i)
{
    const float* p = &array[static_cast<size_t>(i) * 3];
    return CVector(p[0], p[1], p[2], 0.0f);
}

void AddTo(std::vector<float>& array, long i, const CVector& v)
{
    float* p = &array[static_cast<size_t>(i) * 3];
    p[0] += v.x;
    p[1] += v.y;
    p[2] += v.z;
}

} // namespace

CShape::CShape() : m_transform(4, 4), m_scale(1.0f, 1.0f, 1.0f, 0.0f) {}

void CShape::Draw()
{
    render_detail::DrawShape(*this, GetGLCapabilities());
}

void CShape::ResetSharedBuffers()
{
    render_detail::ForgetShapeBuffers();
}

void CShape::SetVertexCount(unsigned count)
{
    m_vertexCount = count;
    const size_t n = count;
    m_vertices.assign(n * 3, 0.0f);
    m_texCoords.assign(n * 2, 0.0f);
    m_normals.assign(n * 3, 0.0f);
    m_colours.assign(n * 4, 255);
}

void CShape::SetIndexCount(unsigned count)
{
    m_indexCount = count;
    m_indices.assign(count, 0);
    m_faceNormals.assign(count, 0.0f);
}

void CShape::SetCounts(unsigned vertices, unsigned indices)
{
    SetVertexCount(vertices);
    SetIndexCount(indices);
}

void CShape::Clear()
{
    SetCounts(0, 0);
}

void CShape::CopyFrom(const CShape& other)
{
    // Clearing first would throw away the very arrays to copy.
    if (&other == this)
        return;
    Clear();
    m_transform = other.m_transform;
    m_material = other.m_material;
    m_colourArray = other.m_colourArray;
    m_primitive = other.m_primitive;
    m_vertexCount = other.m_vertexCount;
    m_indexCount = other.m_indexCount;
    m_vertices = other.m_vertices;
    m_texCoords = other.m_texCoords;
    m_normals = other.m_normals;
    m_colours = other.m_colours;
    m_indices = other.m_indices;
    m_faceNormals = other.m_faceNormals;
    SetRotation(other.m_rotation.x, other.m_rotation.y, other.m_rotation.z);
    m_scale = other.m_scale;
}

ShapeVertex CShape::GetVertex(unsigned index, bool transformed)
{
    ShapeVertex v;
    if (index >= m_vertexCount)
        return v;
    const size_t i = index;
    const uint8_t* c = &m_colours[i * 4];
    v.colour = CVector(c[0], c[1], c[2], c[3]);
    if (!transformed)
    {
        v.position.Bind(&m_vertices[i * 3], 3);
        v.texCoord.Bind(&m_texCoords[i * 2], 2);
        v.normal.Bind(&m_normals[i * 3], 3);
        return v;
    }
    const CVector scaled = At(m_vertices, index) * m_scale;
    v.position = m_transform.ApplyTranslation(m_transform.ApplyRotation(scaled));
    v.texCoord = CVector(m_texCoords[i * 2], m_texCoords[i * 2 + 1]);
    v.normal = m_transform.ApplyRotation(At(m_normals, index));
    return v;
}

void CShape::SetRotation(float rx, float ry, float rz)
{
    assert(m_transform.GetRows() == 4 && m_transform.GetCols() == 4 &&
           "CShape::SetRotation(): transform must be 4 x 4");
    m_rotation.Set(rx, ry, rz);
    if (m_transform.GetRows() == 4 && m_transform.GetCols() == 4)
        RotationFromEuler(m_transform.GetElements(), rx, ry, rz);
}

// Triangles whose corners name a vertex the shape does not have are
// skipped: index lists come from files, and the walk below runs off short
// vertex lists.
void CShape::CalculateNormals()
{
    if (m_vertexCount == 0)
        return;
    std::fill(m_normals.begin(), m_normals.end(), 0.0f);
    const long count = m_vertexCount;
    auto valid = [count](long i) { return i >= 0 && i < count; };

    if (m_indexCount > 0)
    {
        std::fill(m_faceNormals.begin(), m_faceNormals.end(), 0.0f);
        for (size_t k = 0; k + 2 < m_indexCount; k += 3)
        {
            const long a = m_indices[k], b = m_indices[k + 1], c = m_indices[k + 2];
            if (!valid(a) || !valid(b) || !valid(c))
                continue;
            const CVector va = At(m_vertices, a);
            const CVector n = (At(m_vertices, b) - va).CrossProduct(va - At(m_vertices, c));
            CVector unit = n;
            unit.Normalize();
            m_faceNormals[k] = unit.x;
            m_faceNormals[k + 1] = unit.y;
            m_faceNormals[k + 2] = unit.z;
            // Unnormalised, so that larger triangles weigh more.
            AddTo(m_normals, a, n);
            AddTo(m_normals, b, n);
            AddTo(m_normals, c, n);
        }
    }
    else
    {
        // A window of three vertices slides along the list; near its end the
        // indices that run past it fold back.
        const bool fan = m_primitive == GL_TRIANGLE_FAN;
        const bool strip = m_primitive == GL_TRIANGLE_STRIP;
        for (long j = 2; j <= count + 1; ++j)
        {
            const long a = fan ? 0 : j - 2;
            long b = j - 1, c = j;
            if (strip && j % 2 == 0)
                b = j, c = j - 1;
            if (b >= count)
                b = fan ? count - j + 3 : j - 3;
            if (c >= count)
                c = fan ? count - j + 3 : j - 4;
            if (!valid(a) || !valid(b) || !valid(c))
                continue;
            const CVector va = At(m_vertices, a), vb = At(m_vertices, b), vc = At(m_vertices, c);
            AddTo(m_normals, a, (vb - va).CrossProduct(va - vc));
            if (fan || strip)
            {
                AddTo(m_normals, b, (vc - vb).CrossProduct(vb - va));
                AddTo(m_normals, c, (va - vc).CrossProduct(vc - vb));
            }
        }
    }

    for (long i = 0; i < count; ++i)
    {
        float* p = &m_normals[static_cast<size_t>(i) * 3];
        const float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        if (length == 0.0f)
            continue;
        p[0] /= length;
        p[1] /= length;
        p[2] /= length;
    }
}
