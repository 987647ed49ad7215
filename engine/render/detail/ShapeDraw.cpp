// Every shape re-uploads its arrays into one shared buffer object per array
// kind on each draw, so no shape owns GL objects. The names come from
// glGenBuffersARB once per context rather than being fixed numbers, so they
// never collide with buffers generated elsewhere.

#include "render/detail/ShapeDraw.h"

#include <algorithm>
#include <cassert>

#include <GL/gl.h>

#include "render/Shape.h"

namespace
{

enum Role
{
    Vertices,
    TexCoords,
    Normals,
    Colours,
    Indices,
    RoleCount
};

GLuint g_buffers[RoleCount] = {};

// Binds the role's buffer, fills it and returns what the array pointer calls
// take: offset 0 into the buffer, or the client array itself without one.
const void* Source(const GLEntryPoints* gl, Role role, size_t bytes, const void* data)
{
    if (!gl)
        return data;
    if (!g_buffers[0])
        gl->glGenBuffersARB(RoleCount, g_buffers);
    const GLenum target = role == Indices ? GL_ELEMENT_ARRAY_BUFFER_ARB : GL_ARRAY_BUFFER_ARB;
    gl->glBindBufferARB(target, g_buffers[role]);
    gl->glBufferDataARB(target, static_cast<GLsizeiptrARB>(bytes), data, GL_DYNAMIC_DRAW_ARB);
    return nullptr;
}

void PushTextureMatrix(const CMatrix& matrix)
{
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadMatrixf(matrix.GetElements());
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
}

void PopTextureMatrix()
{
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_TEXTURE_2D);
}

void SendColour(GLenum name, const CVector& c)
{
    const GLfloat values[4] = {c.x, c.y, c.z, c.w};
    glMaterialfv(GL_FRONT, name, values);
}

// An index past the vertices would make GL read past the client arrays.
bool IndicesFit(const CShape& shape)
{
    const uint16_t* indices = shape.GetIndices();
    const unsigned count = shape.GetIndexCount();
    return std::all_of(indices, indices + count,
                       [&](uint16_t i) { return i < shape.GetVertexCount(); });
}

} // namespace

namespace detail
{

ShapeBuffers GetShapeBuffers()
{
    ShapeBuffers buffers;
    std::copy(g_buffers, g_buffers + RoleCount, buffers.names);
    return buffers;
}

void ForgetShapeBuffers()
{
    std::fill(g_buffers, g_buffers + RoleCount, 0u);
}

// Leaves behind: blending off; texturing off and the texture matrix popped
// on every unit used; texture unit 0 active for both server and client
// state, with only its coordinate array enabled (as InitGLState set it);
// the shared buffers bound when buffer objects are in use.
void DrawShape(const CShape& shape, const GLCapabilities& caps)
{
    const GLEntryPoints& entries = GetGLEntryPoints();
    const GLEntryPoints* gl = caps.vertexBufferObject ? &entries : nullptr;
    assert((!gl || entries.glBufferDataARB) && "DrawShape(): no buffer object entry points");
    const bool multitexture = caps.multitexture && entries.glActiveTextureARB;
    const CMaterial& material = shape.GetMaterial();
    const unsigned textures = material.GetTextureCount();
    const unsigned units =
        std::min(textures, static_cast<unsigned>(std::max(caps.textureUnits, 1)));
    const size_t vertices = shape.GetVertexCount();
    const CMatrix& transform = shape.GetTransform();
    assert(transform.GetRows() == 4 && transform.GetCols() == 4 &&
           "CShape::Draw(): transform must be 4 x 4");

    // Client arrays are read through whatever buffer is bound, so a buffer
    // left bound by an earlier draw must go.
    if (!gl && entries.glBindBufferARB)
    {
        entries.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        entries.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    }

    glPushMatrix();
    glMultMatrixf(transform.GetElements());
    const CVector& scale = shape.GetScale();
    glScalef(scale.x, scale.y, scale.z);

    if (shape.HasColourArray())
    {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glColorPointer(4, GL_UNSIGNED_BYTE, 0,
                       Source(gl, Colours, vertices * 4, shape.GetColours()));
    }

    glVertexPointer(3, GL_FLOAT, 0, Source(gl, Vertices, vertices * 12, shape.GetVertices()));

    // One set of coordinates feeds every unit that gets a texture.
    const void* texCoords = Source(gl, TexCoords, vertices * 8, shape.GetTexCoords());
    const unsigned coordUnits = multitexture ? std::max(units, 1u) : 1;
    for (unsigned i = 0; i < coordUnits; ++i)
    {
        if (multitexture)
        {
            entries.glClientActiveTextureARB(GL_TEXTURE0_ARB + i);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
    }
    if (multitexture)
        entries.glClientActiveTextureARB(GL_TEXTURE0_ARB);

    glNormalPointer(GL_FLOAT, 0, Source(gl, Normals, vertices * 12, shape.GetNormals()));
    const void* indices =
        Source(gl, Indices, size_t{shape.GetIndexCount()} * 2, shape.GetIndices());

    SendColour(GL_AMBIENT, material.GetAmbient());
    SendColour(GL_DIFFUSE, material.GetDiffuse());
    SendColour(GL_EMISSION, material.GetEmission());
    SendColour(GL_SPECULAR, material.GetSpecular());
    glMaterialf(GL_FRONT, GL_SHININESS, material.GetShininess());

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, material.IsAdditive() ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);

    // A single texture goes on the active unit, as without multitexture.
    const bool multiUnit = multitexture && textures > 1;
    if (multiUnit)
    {
        for (unsigned i = 0; i < units; ++i)
        {
            entries.glActiveTextureARB(GL_TEXTURE0_ARB + i);
            PushTextureMatrix(material.GetTextureMatrix());
            glBindTexture(GL_TEXTURE_2D, material.GetTexture(i));
        }
    }
    else if (textures > 0)
    {
        PushTextureMatrix(material.GetTextureMatrix());
        glBindTexture(GL_TEXTURE_2D, material.GetTexture(0));
    }

    if (shape.GetIndexCount() > 0)
    {
        if (IndicesFit(shape))
            glDrawElements(shape.GetPrimitive(), static_cast<GLsizei>(shape.GetIndexCount()),
                           GL_UNSIGNED_SHORT, indices);
    }
    else
        glDrawArrays(shape.GetPrimitive(), 0, static_cast<GLsizei>(vertices));

    if (shape.HasColourArray())
    {
        glDisable(GL_COLOR_MATERIAL);
        glDisableClientState(GL_COLOR_ARRAY);
    }
    if (multiUnit)
    {
        for (unsigned i = units; i-- > 0;)
        {
            entries.glActiveTextureARB(GL_TEXTURE0_ARB + i);
            PopTextureMatrix();
        }
    }
    else if (textures > 0)
        PopTextureMatrix();
    // Unit 0's coordinate array stays on for every later draw.
    if (multitexture)
    {
        for (unsigned i = coordUnits; i-- > 1;)
        {
            entries.glClientActiveTextureARB(GL_TEXTURE0_ARB + i);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        entries.glClientActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glDisable(GL_BLEND);

    glPopMatrix();
}

} // namespace detail
