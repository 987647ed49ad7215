// Shapes drawn in a real 800 x 600 window by Mesa's software renderer
// through the flat view (window pixels, origin top-left, y down, depths 0 to
// 1000) and read back. Each draw path is taken by switching capabilities off.

#include "render/Draw.h"

#include <algorithm>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/AppGL.h"
#include "render/FlatViewSupport.h"
#include "render/Light.h"
#include "render/Quad.h"
#include "render/detail/ShapeDraw.h"
#include "shell/SDLTestSupport.h"

namespace
{

using Pixel = std::vector<int>;
using Bytes = std::vector<uint8_t>;
const Pixel kGrey{128, 128, 128};

// y counts down from the top, as in the flat view.
void ExpectPixel(int x, int y, const Pixel& expected, int tolerance = 1)
{
    unsigned char rgba[4] = {};
    glReadPixels(x, 599 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(rgba[i], expected[i], tolerance)
            << "pixel " << x << "," << y << " [" << i << "]";
}

GLint GetInteger(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

struct Path
{
    const char* name;
    bool buffers, multitexture;
};
const Path kPaths[] = {{"buffers, multitexture", true, true},
                       {"buffers", true, false},
                       {"client arrays, multitexture", false, true},
                       {"client arrays", false, false}};

void DrawOn(const Path& path, const CShape& shape)
{
    GLCapabilities caps = GetGLCapabilities();
    caps.vertexBufferObject = caps.vertexBufferObject && path.buffers;
    caps.multitexture = caps.multitexture && path.multitexture;
    render_detail::DrawShape(shape, caps);
}

// A control's unit square at (x, y, 1), showing its textures unlit; the
// texture's first row runs along the bottom edge.
CQuad Quad(float x, float y, float size, std::vector<GLuint> textures = {})
{
    ShapeVertex c[4];
    const float corners[4][4] = {{0, 0, 0, 1}, {1, 0, 1, 1}, {1, 1, 1, 0}, {0, 1, 0, 0}};
    for (int i = 0; i < 4; ++i)
    {
        c[i].position.Set(corners[i][0], corners[i][1], 0);
        c[i].texCoord.Set(corners[i][2], corners[i][3]);
    }
    CQuad quad(c[0], c[1], c[2], c[3]);
    quad.GetTransform().SetTranslation(x, y, 1);
    quad.SetScale(size, size, 1);
    CMaterial& material = quad.GetMaterial();
    material.SetAmbient(CVector(0, 0, 0, 0));
    material.SetDiffuse(CVector(0, 0, 0, 1));
    material.SetEmission(CVector(1, 1, 1, 0));
    for (GLuint texture : textures)
        material.AddTexture(material.GetTextureCount(), texture);
    return quad;
}

// A green square at depth 10 whose normals face the viewer or away.
CShape Square(float x0, float y0, float x1, float y1, bool facing)
{
    CShape shape;
    shape.SetPrimitive(GL_TRIANGLES);
    shape.SetCounts(4, 6);
    const float corners[4][2] = {{x0, y0}, {x0, y1}, {x1, y0}, {x1, y1}};
    for (unsigned i = 0; i < 4; ++i)
        shape.GetVertex(i).position.Set(corners[i][0], corners[i][1], 10);
    const uint16_t toward[6] = {0, 1, 2, 1, 3, 2}, away[6] = {0, 2, 1, 1, 2, 3};
    std::copy(facing ? toward : away, (facing ? toward : away) + 6, shape.GetIndices());
    shape.CalculateNormals();
    shape.GetMaterial().SetAmbient(CVector(0, 0, 0, 1));
    shape.GetMaterial().SetDiffuse(CVector(0, 1, 0, 1));
    return shape;
}

class DrawGLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.CreateGLWindow(800, 600, true, false, false, 32, 24, 8, 0));
        SetUpFlatView();
    }

    // RGBA texels, first row at t = 0, sampled nearest.
    GLuint Texture(int width, int height, const Bytes& rgba)
    {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     rgba.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return name;
    }

    // What every draw leaves: unit 0 active on both sides with only its
    // coordinate array on, no texturing, blending or colour tracking, and
    // every matrix stack where it was.
    static void ExpectCleanState()
    {
        const GLEntryPoints& gl = GetGLEntryPoints();
        EXPECT_EQ(GetInteger(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
        EXPECT_EQ(GetInteger(GL_CLIENT_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
        EXPECT_EQ(GetInteger(GL_MATRIX_MODE), GL_MODELVIEW);
        EXPECT_EQ(GetInteger(GL_MODELVIEW_STACK_DEPTH), 1);
        for (GLenum cap : {GL_BLEND, GL_COLOR_MATERIAL, GL_COLOR_ARRAY})
            EXPECT_FALSE(glIsEnabled(cap)) << cap;
        for (GLenum unit = 2; unit + 1 > 0; --unit)
        {
            gl.glActiveTextureARB(GL_TEXTURE0_ARB + unit);
            gl.glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << unit;
            EXPECT_EQ(GetInteger(GL_TEXTURE_STACK_DEPTH), 1) << unit;
            EXPECT_EQ(glIsEnabled(GL_TEXTURE_COORD_ARRAY), unit == 0) << unit;
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    ScopedSDLPlatform scope;
    ScriptedApp<CAppGL> app{scope.sdl};
};

} // namespace

TEST_F(DrawGLTest, TexturedQuadCoversItsWindowPixelsUpright)
{
    // Bottom row red, green; top row blue, white.
    const GLuint texture = Texture(2, 2,
                                   {255, 0, 0, 255, 0, 255, 0, 255, //
                                    0, 0, 255, 255, 255, 255, 255, 255});
    for (const Path& path : kPaths)
    {
        SCOPED_TRACE(path.name);
        ClearScreen(0.5f, 0.5f, 0.5f, 0);
        DrawOn(path, Quad(100, 100, 200, {texture}));
        ExpectCleanState();
        ExpectPixel(100, 100, {0, 0, 255}); // first and last pixels covered
        ExpectPixel(299, 100, {255, 255, 255});
        ExpectPixel(100, 299, {255, 0, 0});
        ExpectPixel(299, 299, {0, 255, 0});
        ExpectPixel(99, 99, kGrey);
        ExpectPixel(300, 300, kGrey);
    }
}

TEST_F(DrawGLTest, FurtherTexturesModulateUpToTheUnitCount)
{
    const GLuint first = Texture(2, 1, {255, 255, 255, 255, 0, 255, 255, 255});
    const GLuint tint = Texture(1, 1, {255, 128, 64, 255});
    const GLuint black = Texture(1, 1, {0, 0, 0, 255});
    for (const Path& path : kPaths)
    {
        SCOPED_TRACE(path.name);
        DrawOn(path, Quad(0, 0, 400, {first, tint}));
        ExpectCleanState();
        ExpectPixel(100, 200, path.multitexture ? Pixel{255, 128, 64} : Pixel{255, 255, 255});
        ExpectPixel(300, 200, path.multitexture ? Pixel{0, 128, 64} : Pixel{0, 255, 255});
    }

    // Two units: the third texture (black) stays off unit 2.
    GLCapabilities twoUnits = GetGLCapabilities();
    twoUnits.textureUnits = 2;
    render_detail::DrawShape(Quad(0, 0, 400, {first, tint, black}), twoUnits);
    ExpectPixel(100, 200, {255, 128, 64});
    GetGLEntryPoints().glActiveTextureARB(GL_TEXTURE2_ARB);
    EXPECT_EQ(GetInteger(GL_TEXTURE_BINDING_2D), 0);
    GetGLEntryPoints().glActiveTextureARB(GL_TEXTURE0_ARB);
    ExpectCleanState();
}

TEST_F(DrawGLTest, LightFallsOnTheSideNormalsFaceAndBlendingFollowsTheMaterial)
{
    // The frame's directional light from (400, 300, 500): N.L = 0.7071 for a
    // face toward the viewer.
    CLight light;
    light.position.Set(400, 300, 500, 0);
    light.colours.SetAmbient(CVector(0, 0, 0, 1));
    light.colours.SetDiffuse(CVector(1, 1, 1, 1));
    ApplyLight(0, light);
    for (const Path& path : kPaths)
    {
        SCOPED_TRACE(path.name);
        ClearScreen(0.5f, 0.5f, 0.5f, 0);
        CShape coloured = Square(500, 100, 600, 200, true);
        coloured.SetColourArray(true);
        for (unsigned i = 1; i < 16; i += 4)
            coloured.GetColours()[i] = 0; // magenta replaces the green diffuse
        for (const CShape& shape :
             {Square(100, 100, 200, 200, true), Square(300, 100, 400, 200, false), coloured})
            DrawOn(path, shape);
        ExpectCleanState();
        ExpectPixel(150, 150, {0, 180, 0}, 2);
        ExpectPixel(350, 150, {0, 0, 0});
        ExpectPixel(550, 150, {180, 0, 180}, 2);
    }

    // Red at alpha 0.5 over grey: mixed, or added.
    for (bool additive : {false, true})
    {
        CQuad quad = Quad(additive ? 400 : 100, 300, 100);
        quad.GetMaterial().SetEmission(CVector(1, 0, 0, 0));
        quad.GetMaterial().SetDiffuse(CVector(0, 0, 0, 0.5f));
        quad.GetMaterial().SetAdditive(additive);
        quad.Draw();
    }
    ExpectPixel(150, 350, {191, 64, 64});
    ExpectPixel(450, 350, {255, 128, 128});
    light.enabled = false;
    ApplyLight(0, light);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
}

TEST_F(DrawGLTest, EmptyShapesAndStrayIndicesDrawNothing)
{
    for (const Path& path : kPaths)
    {
        SCOPED_TRACE(path.name);
        DrawOn(path, CShape());
        CShape stray = Square(0, 0, 800, 600, true);
        stray.GetIndices()[4] = 4; // one past the last vertex
        DrawOn(path, stray);
        ExpectCleanState();
        ExpectPixel(200, 150, kGrey); // inside the first, sound triangle
    }
}

TEST_F(DrawGLTest, SharedBuffersAreGeneratedOnceAndMissOtherBuffers)
{
    const GLEntryPoints& gl = GetGLEntryPoints();
    auto getData = reinterpret_cast<PFNGLGETBUFFERSUBDATAARBPROC>(
        GetPlatform().GetProcAddress("glGetBufferSubDataARB"));
    ASSERT_NE(getData, nullptr);
    // Generated elsewhere before any shape was drawn: with fixed names 1 to
    // 5 the first draw would overwrite it.
    GLuint other = 0;
    gl.glGenBuffersARB(1, &other);
    gl.glBindBufferARB(GL_ARRAY_BUFFER_ARB, other);
    const Bytes pattern = {1, 2, 3, 4, 5, 6, 7, 8};
    gl.glBufferDataARB(GL_ARRAY_BUFFER_ARB, 8, pattern.data(), GL_STATIC_DRAW_ARB);

    CShape shape = Square(0, 0, 100, 100, true);
    shape.Draw();
    const render_detail::ShapeBuffers first = render_detail::GetShapeBuffers();
    shape.Draw();
    const unsigned* names = first.names;
    EXPECT_TRUE(std::equal(names, names + 5, render_detail::GetShapeBuffers().names));
    EXPECT_EQ(std::count(names, names + 5, 0u) + std::count(names, names + 5, other), 0);
    std::vector<unsigned> sorted(names, names + 5);
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end()); // one per kind
    Bytes data(8, 0);
    gl.glBindBufferARB(GL_ARRAY_BUFFER_ARB, other);
    getData(GL_ARRAY_BUFFER_ARB, 0, 8, data.data());
    EXPECT_EQ(data, pattern);

    CShape::ResetSharedBuffers(); // as after a new context: generated anew
    EXPECT_EQ(render_detail::GetShapeBuffers().names[0], 0u);
    shape.Draw();
    EXPECT_NE(render_detail::GetShapeBuffers().names[0], 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawGLTest, FrameFunctionsMindZeroSizesAndTheStencil)
{
    SetViewport(0, 0, 0, 0);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1);
    EXPECT_EQ(viewport[3], 1);
    SetViewport(0, 0, 800, 600);
    glClearStencil(5);
    ClearScreen(0.25f, 0.5f, 0.75f, 1);
    ExpectPixel(10, 10, {64, 128, 191});
    GLubyte stencil = 0;
    glReadPixels(10, 10, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &stencil);
    EXPECT_EQ(stencil, 5);
}
