// The SDL platform where there is no display: the window system cannot be
// opened, and message boxes fall back to standard error. Each case runs in a
// child process so that the display can be taken away from it alone.

#include "shell/PlatformSDL.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "shell/App.h"

namespace
{

class TestApp : public CApp
{
public:
    int StartUp(int, char**) override { return 0; }
};

void ForgetTheDisplay()
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_VIDEODRIVER", "x11", 1);
}

} // namespace

TEST(PlatformSDLDeathTest, WithoutADisplayTheWindowClassFails)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ForgetTheDisplay();
            CPlatformSDL sdl;
            SetPlatform(&sdl);
            bool created = true;
            {
                TestApp app;
                created = app.CreateAppWindow(800, 600, true, true, false);
            }
            SetPlatform(nullptr);
            std::exit(created ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "App Error: Could not register window");
}

TEST(PlatformSDLDeathTest, MessageBoxFallsBackToStandardError)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ForgetTheDisplay();
            CPlatformSDL sdl;
            sdl.ShowMessageBox("Error", "Could not set to fullscreen mode");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "Error: Could not set to fullscreen mode");
}
