// The GUI's pixel tests: a real 800 x 600 window in the flat view (window
// pixels, origin top-left, y down) and reading its pixels back.
#pragma once

#include <cstring>
#include <functional>
#include <vector>

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include "gui/GUI.h"
#include "render/AppGL.h"
#include "render/Draw.h"
#include "render/FlatViewSupport.h"
#include "shell/SDLTestSupport.h"

using Pixel = std::vector<int>;
const Pixel kGrey{128, 128, 128}, kBlue{0, 0, 255}, kRed{255, 0, 0}, kGreen{0, 255, 0};

// Lit by its emission alone, so that it shows exactly `colour`.
inline void Paint(CGUI& control, const CVector& colour)
{
    control.GetMaterial().SetAmbient(CVector(0, 0, 0, 1));
    control.GetMaterial().SetEmission(colour);
}

// True when some pixel of the rectangle (y down, ends excluded) has a red
// component of at least `red`: text drawn in white on a control that has
// none.
inline bool AnyRedAtLeast(int x0, int y0, int x1, int y1, int red)
{
    const int w = x1 - x0, h = y1 - y0;
    std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
    glReadPixels(x0, 600 - y1, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] >= red)
            return true;
    return false;
}

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

// Real SDL events pushed at the window and taken by the shell's message
// pump, so that they reach the GUI through the platform layer and the input
// map as the user's would.
class GUIEventTest : public GUIWindowTest
{
protected:
    void Push(Uint32 type, int x, int y)
    {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_MOUSEMOTION)
        {
            e.motion.windowID = scope.sdl.GetWindowId();
            e.motion.x = x;
            e.motion.y = y;
        }
        else
        {
            e.button.windowID = scope.sdl.GetWindowId();
            e.button.button = SDL_BUTTON_LEFT;
            e.button.clicks = 1;
            e.button.x = x;
            e.button.y = y;
        }
        SDL_PushEvent(&e);
    }
    void Press(int x, int y)
    {
        Push(SDL_MOUSEMOTION, x, y);
        Push(SDL_MOUSEBUTTONDOWN, x, y);
    }
    void Release(int x, int y)
    {
        Push(SDL_MOUSEMOTION, x, y);
        Push(SDL_MOUSEBUTTONUP, x, y);
    }
    void Click(int x, int y)
    {
        Press(x, y);
        Release(x, y);
    }
    // Pressed at one point, moved and released at another.
    void Drag(int x, int y, int toX, int toY)
    {
        Press(x, y);
        Release(toX, toY);
    }
    // Notches away from the user are positive.
    void Wheel(int notches)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.windowID = scope.sdl.GetWindowId();
        e.wheel.y = notches;
        e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        SDL_PushEvent(&e);
    }
    void TypeText(const char* text)
    {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = scope.sdl.GetWindowId();
        std::strncpy(e.text.text, text, sizeof e.text.text - 1);
        SDL_PushEvent(&e);
    }
    void PressKey(SDL_Keycode key)
    {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = scope.sdl.GetWindowId();
        e.key.keysym.sym = key;
        SDL_PushEvent(&e);
    }

    // Pushes the events in one frame; the next frame's message pump
    // delivers them. May run more than once a test.
    void Run(const std::function<void()>& push)
    {
        app.closing = false;
        app.frames = 0;
        app.step = [&](int frame)
        {
            if (frame == 0)
                push();
            return frame > 0;
        };
        app.MainLoop();
        ASSERT_FALSE(app.timedOut);
    }
};
