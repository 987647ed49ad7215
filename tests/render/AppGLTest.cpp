// The GL shell in a real 800 x 600 window with Mesa's software renderer: the
// context's buffers, the initial GL state and capability record, a drawn
// frame read back, and closing.

#include "render/AppGL.h"

#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/Extensions.h"
#include "shell/SDLTestSupport.h"

namespace
{

using TestApp = ScriptedApp<CAppGL>;

using Pixel = std::vector<int>;

Pixel ReadPixel(int x, int y)
{
    unsigned char rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

GLint GetInteger(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

class AppGLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.CreateGLWindow(800, 600, true, true, false, 32, 24, 8, 0));
        app.SetFramePeriod(1);
    }

    ScopedSDLPlatform scope;
    RecordingSDL& sdl = scope.sdl;
    TestApp app{sdl};
};

} // namespace

TEST_F(AppGLTest, ContextHasTheAskedBuffers)
{
    EXPECT_TRUE(app.HasContext());
    EXPECT_EQ(app.GetClientWidth(), 800);
    EXPECT_EQ(app.GetClientHeight(), 600);
    EXPECT_EQ(GetInteger(GL_DEPTH_BITS), 24);
    EXPECT_EQ(GetInteger(GL_STENCIL_BITS), 8);
    EXPECT_EQ(GetInteger(GL_RED_BITS), 8);
    GLboolean doubleBuffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_EQ(doubleBuffered, GL_TRUE);
    EXPECT_TRUE(sdl.boxes.empty());
}

TEST_F(AppGLTest, InitialStateAndCapabilities)
{
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.5f);
    EXPECT_FLOAT_EQ(clear[1], 0.5f);
    EXPECT_FLOAT_EQ(clear[2], 0.5f);
    EXPECT_FLOAT_EQ(clear[3], 1.0f);
    EXPECT_EQ(GetInteger(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(GetInteger(GL_DEPTH_FUNC), GL_LEQUAL);
    for (GLenum cap : {GL_DEPTH_TEST, GL_NORMALIZE, GL_LIGHTING, GL_VERTEX_ARRAY,
                       GL_TEXTURE_COORD_ARRAY, GL_NORMAL_ARRAY})
        EXPECT_TRUE(glIsEnabled(cap)) << cap;

    // Mesa's software renderer has all four extensions.
    const GLCapabilities& caps = GetGLCapabilities();
    EXPECT_TRUE(caps.multitexture);
    EXPECT_TRUE(caps.vertexBufferObject);
    EXPECT_TRUE(caps.vertexShader);
    EXPECT_TRUE(caps.fragmentShader);
    EXPECT_GT(caps.textureUnits, 1);
    EXPECT_EQ(caps.textureUnits, GetInteger(GL_MAX_TEXTURE_UNITS_ARB));
    EXPECT_NE(GetGLEntryPoints().glUniformMatrix4fv, nullptr);
    EXPECT_NE(GetGLEntryPoints().glDeleteBuffersARB, nullptr);

    EXPECT_TRUE(LoadExtension("GL_ARB_texture_cube_map"));
    EXPECT_TRUE(LoadExtension("GL_ARB_texture")); // part of a longer name
    EXPECT_FALSE(LoadExtension("GL_VEMMO_no_such_extension"));
    EXPECT_FALSE(LoadExtension("WGL_ARB_extensions_string"));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(AppGLTest, DrawsAFrameAndClosesOnTheCloseButton)
{
    Pixel centre;
    Pixel corner;
    app.step = [&](int)
    {
        glViewport(0, 0, 800, 600);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 800, 600, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        const GLfloat quad[] = {300, 200, 500, 200, 500, 400, 300, 400};
        glColor3f(1, 0, 0);
        glVertexPointer(2, GL_FLOAT, 0, quad);
        glDrawArrays(GL_QUADS, 0, 4);
        centre = ReadPixel(400, 300);
        corner = ReadPixel(5, 5);
        return true;
    };
    app.MainLoop();
    ASSERT_FALSE(app.timedOut);

    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(centre, (Pixel{255, 0, 0}));
    // The grey clear colour, 0.5, rounds either way.
    for (int channel : corner)
        EXPECT_NEAR(channel, 128, 1);

    EXPECT_FALSE(app.IsRunning());
    EXPECT_EQ(app.frames, 2);
    EXPECT_TRUE(SDL_GetWindowFlags(WindowOf(sdl)) & SDL_WINDOW_HIDDEN);
}

TEST(AppGLMultisample, SamplesAreAskedForOrDroppedQuietly)
{
    ScopedSDLPlatform scope;
    TestApp app(scope.sdl);
    ASSERT_TRUE(app.CreateGLWindow(800, 600, true, false, false, 32, 24, 8, 4));
    const GLint buffers = GetInteger(GL_SAMPLE_BUFFERS);
    EXPECT_TRUE(buffers == 0 || GetInteger(GL_SAMPLES) >= 4) << GetInteger(GL_SAMPLES);
    EXPECT_EQ(GetInteger(GL_DEPTH_BITS), 24);
    EXPECT_TRUE(scope.sdl.boxes.empty());
}
