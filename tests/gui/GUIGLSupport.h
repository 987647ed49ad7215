// The GUI's pixel tests: a real 800 x 600 window in the flat view (window
// pixels, origin top-left, y down) and reading its pixels back.
#pragma once

#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/AppGL.h"
#include "render/Draw.h"
#include "render/FlatViewSupport.h"
#include "shell/SDLTestSupport.h"

using Pixel = std::vector<int>;
const Pixel kGrey{128, 128, 128}, kBlue{0, 0, 255}, kRed{255, 0, 0}, kGreen{0, 255, 0};

// y counts down from the top, as in the flat view.
inline void ExpectPixel(int x, int y, const Pixel& expected)
{
    unsigned char rgba[4] = {};
    glReadPixels(x, 599 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(rgba[i], expected[i], 1) << "pixel " << x << "," << y << " [" << i << "]";
}

class GUIWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.CreateGLWindow(800, 600, true, false, false, 32, 24, 8, 0));
        SetUpFlatView();
    }

    ScopedSDLPlatform scope;
    ScriptedApp<CAppGL> app{scope.sdl};
};
