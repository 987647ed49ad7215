// The model demo's scene in a real 800 x 600 window, read back: the lit
// cube in the right half, red from its material library and brighter on the
// faces toward the light; the height map in the left half, green and
// brighter on its lit slope than at its foot; the clear colour between.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "assets/ModelScene.h"
#include "render/AppGL.h"
#include "shell/SDLTestSupport.h"

namespace
{

struct Rgb
{
    int r, g, b;
};

// y counts up from the bottom, as GL reads.
Rgb PixelAt(int x, int y)
{
    unsigned char rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

class ModelSceneGLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.CreateGLWindow(800, 600, true, false, false, 32, 24, 8, 0));
    }

    ScopedSDLPlatform scope;
    ScriptedApp<CAppGL> app{scope.sdl};
};

} // namespace

TEST_F(ModelSceneGLTest, LitModelAndHeightMapAppearWhereTheyAreDrawn)
{
    ModelScene scene;
    ASSERT_TRUE(scene.Load("tests/data/models/scene.xml", "cube"));
    scene.Draw(800, 600);
    glFinish();

    // The cube's middle, at (2, 0) of the view: red, lit well above the
    // ambient-only level (0.2 x 0.9 of 255 is about 46).
    const Rgb cube = PixelAt(600, 300);
    EXPECT_GT(cube.r, 120);
    EXPECT_LT(cube.g, 60);
    EXPECT_LT(cube.b, 60);

    // The hill's top, at (-2, 0) or near it: green and lit.
    const Rgb hill = PixelAt(200, 300);
    EXPECT_GT(hill.g, 100);
    EXPECT_GT(hill.g, hill.r + 40);

    // Corners and the gap between the two: the clear colour.
    for (const auto& [x, y] : {std::pair{5, 5}, std::pair{795, 595}, std::pair{400, 300}})
    {
        const Rgb clear = PixelAt(x, y);
        EXPECT_NEAR(clear.r, 26, 2) << x << "," << y;
        EXPECT_NEAR(clear.b, 51, 2) << x << "," << y;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelSceneGLTest, SceneWithoutItsModelsIsRefused)
{
    ModelScene scene;
    EXPECT_FALSE(scene.Load("tests/data/models/scene.xml", "no such model"));
    EXPECT_FALSE(scene.Load("tests/data/models/missing.xml", "cube"));
}
