// Helpers for the tests that open a real window: an SDL platform whose
// message boxes are recorded instead of shown (a modal box would hang the
// run), real SDL events pushed at its window, and a shell whose frames run a
// test's script until it says it is done.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <SDL.h>

#include "core/App.h"
#include "core/PlatformSDL.h"

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
