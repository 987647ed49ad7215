// Helpers for the tests that open a real window: an SDL platform whose
// message boxes are recorded instead of shown (a modal box would hang the
// run), real SDL events pushed at its window, and a shell whose frames run a
// test's script until it says it is done.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include "shell/App.h"
#include "shell/PlatformSDL.h"

class RecordingSDL : public CPlatformSDL
{
public:
    void ShowMessageBox(const char* caption, const char* text) override
    {
        boxes.emplace_back(caption, text);
    }
    std::vector<std::pair<std::string, std::string>> boxes;
};

// Installs a RecordingSDL for the life of the object.
class ScopedSDLPlatform
{
public:
    ScopedSDLPlatform() : m_previous(SetPlatform(&sdl)) {}
    ~ScopedSDLPlatform() { SetPlatform(m_previous); }
    ScopedSDLPlatform(const ScopedSDLPlatform&) = delete;
    ScopedSDLPlatform& operator=(const ScopedSDLPlatform&) = delete;

    RecordingSDL sdl;

private:
    CPlatform* m_previous;
};

// A small window with a current context straight from the platform, for
// tests of code that needs GL but nothing of the shell.
class GLContextTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scope.sdl.RegisterWindowClass());
        ASSERT_TRUE(scope.sdl.CreateWindow(64, 64, true, false));
        ASSERT_TRUE(scope.sdl.SetPixelFormat(CPlatform::PixelFormat{}));
        ASSERT_TRUE(scope.sdl.CreateContext());
    }
    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        scope.sdl.DeleteContext();
        scope.sdl.DestroyWindow();
        scope.sdl.UnregisterWindowClass();
    }

    ScopedSDLPlatform scope;
};

inline SDL_Window* WindowOf(const CPlatformSDL& sdl)
{
    return SDL_GetWindowFromID(sdl.GetWindowId());
}

inline void PushWindowEvent(const CPlatformSDL& sdl, Uint8 kind, int data1 = 0, int data2 = 0)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = sdl.GetWindowId();
    event.window.event = kind;
    event.window.data1 = data1;
    event.window.data2 = data2;
    SDL_PushEvent(&event);
}

// Runs `Base`'s frames through `step`, called with the frame number from 0,
// until it returns true; then closes the window the way its close button
// does. A script that never finishes is cut off after `limit` frames.
template <typename Base>
class ScriptedApp : public Base
{
public:
    explicit ScriptedApp(const CPlatformSDL& sdl) : m_sdl(sdl) {}

    int StartUp(int, char**) override { return 0; }
    void DrawFrame() override
    {
        const int frame = frames++;
        if (closing)
            return;
        if (frame >= limit || (step && step(frame)))
        {
            closing = true;
            timedOut = frame >= limit;
            PushWindowEvent(m_sdl, SDL_WINDOWEVENT_CLOSE);
        }
    }

    std::function<bool(int)> step;
    int frames = 0;
    int limit = 500;
    bool closing = false;
    bool timedOut = false;

private:
    const CPlatformSDL& m_sdl;
};
