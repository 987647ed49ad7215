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

// What one draw decided about the driver and the shape's textures.
struct DrawPlan
{
    const GLEntryPoints& entries;
    const GLEntryPoints* gl; // null: client arrays, no buffer objects
    bool multitexture;
    unsigned textures;   // in the material
    unsigned units;      // that get one, within the driver's units
    unsigned coordUnits; // that get the coordinate array
    bool multiUnit;      // a texture per unit rather than one on the active unit
};

DrawPlan PlanDraw(const CShape& shape, const GLCapabilities& caps)
{
    const GLEntryPoints& entries = GetGLEntryPoints();
    const GLEntryPoints* gl = caps.vertexBufferObject ? &entries : nullptr;
    assert((!gl || entries.glBufferDataARB) && "DrawShape(): no buffer object entry points");
    const bool multitexture = caps.multitexture && entries.glActiveTextureARB;
    const unsigned textures = shape.GetMaterial().GetTextureCount();
    const unsigned units =
        std::min(textures, static_cast<unsigned>(std::max(caps.textureUnits, 1)));
    // A single texture goes on the active unit, as without multitexture.
    return DrawPlan{entries,
                    gl,
                    multitexture,
                    textures,
                    units,
                    multitexture ? std::max(units, 1u) : 1,
                    multitexture && textures > 1};
}

// Points GL at the shape's arrays and returns where the indices are.
const void* SetArrays(const CShape& shape, const DrawPlan& plan)
{
    const size_t vertices = shape.GetVertexCount();
    if (shape.HasColourArray())
    {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glColorPointer(4, GL_UNSIGNED_BYTE, 0,
                       Source(plan.gl, Colours, vertices * 4, shape.GetColours()));
    }

    glVertexPointer(3, GL_FLOAT, 0, Source(plan.gl, Vertices, vertices * 12, shape.GetVertices()));

    // One set of coordinates feeds every unit that gets a texture.
    const void* texCoords = Source(plan.gl, TexCoords, vertices * 8, shape.GetTexCoords());
    for (unsigned i = 0; i < plan.coordUnits; ++i)
    {
        if (plan.multitexture)
        {
            plan.entries.glClientActiveTextureARB(GL_TEXTURE0_ARB + i);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
    }
    if (plan.multitexture)
        plan.entries.glClientActiveTextureARB(GL_TEXTURE0_ARB);

    glNormalPointer(GL_FLOAT, 0, Source(plan.gl, Normals, vertices * 12, shape.GetNormals()));
    return Source(plan.gl, Indices, size_t{shape.GetIndexCount()} * 2, shape.GetIndices());
}

void SendMaterial(const CMaterial& material)
{
    SendColour(GL_AMBIENT, material.GetAmbient());
    SendColour(GL_DIFFUSE, material.GetDiffuse());
    SendColour(GL_EMISSION, material.GetEmission());
    SendColour(GL_SPECULAR, material.GetSpecular());
    glMaterialf(GL_FRONT, GL_SHININESS, material.GetShininess());

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, material.IsAdditive() ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
}

void BindTextures(const CMaterial& material, const DrawPlan& plan)
{
    if (plan.multiUnit)
    {
        for (unsigned i = 0; i < plan.units; ++i)
        {
            plan.entries.glActiveTextureARB(GL_TEXTURE0_ARB + i);
            PushTextureMatrix(material.GetTextureMatrix());
            glBindTexture(GL_TEXTURE_2D, material.GetTexture(i));
        }
    }
    else if (plan.textures > 0)
    {
        PushTextureMatrix(material.GetTextureMatrix());
        glBindTexture(GL_TEXTURE_2D, material.GetTexture(0));
    }
}

// Undoes SetArrays, SendMaterial and BindTextures down to the state every
// draw starts from.
void RestoreState(const CShape& shape, const DrawPlan& plan)
{
    if (shape.HasColourArray())
    {
        glDisable(GL_COLOR_MATERIAL);
        glDisableClientState(GL_COLOR_ARRAY);
    }
    if (plan.multiUnit)
    {
        for (unsigned i = plan.units; i-- > 0;)
        {
            plan.entries.glActiveTextureARB(GL_TEXTURE0_ARB + i);
            PopTextureMatrix();
        }
    }
    else if (plan.textures > 0)
        PopTextureMatrix();
    // Unit 0's coordinate array stays on for every later draw.
    if (plan.multitexture)
    {
        for (unsigned i = plan.coordUnits; i-- > 1;)
        {
            plan.entries.glClientActiveTextureARB(GL_TEXTURE0_ARB + i);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        plan.entries.glClientActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glDisable(GL_BLEND);
}

} // namespace

namespace render_detail
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
    const DrawPlan plan = PlanDraw(shape, caps);
    const CMatrix& transform = shape.GetTransform();
    assert(transform.GetRows() == 4 && transform.GetCols() == 4 &&
           "CShape::Draw(): transform must be 4 x 4");

    // Client arrays are read through whatever buffer is bound, so a buffer
    // left bound by an earlier draw must go.
    if (!plan.gl && plan.entries.glBindBufferARB)
    {
        plan.entries.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        plan.entries.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    }

    glPushMatrix();
    glMultMatrixf(transform.GetElements());
    const CVector& scale = shape.GetScale();
    glScalef(scale.x, scale.y, scale.z);

    const void* indices = SetArrays(shape, plan);
    SendMaterial(shape.GetMaterial());
    BindTextures(shape.GetMaterial(), plan);

    if (shape.GetIndexCount() > 0)
    {
        if (IndicesFit(shape))
            glDrawElements(shape.GetPrimitive(), static_cast<GLsizei>(shape.GetIndexCount()),
                           GL_UNSIGNED_SHORT, indices);
    }
    else
        glDrawArrays(shape.GetPrimitive(), 0, static_cast<GLsizei>(shape.GetVertexCount()));

    RestoreState(shape, plan);
    glPopMatrix();
}

} // namespace render_detail
