// The platform on SDL2 with an OpenGL context from the system's GL library.
// It owns one window at a time and turns SDL events into the shell's
// messages; only its .cpp sees SDL. The clock and sleep are the engine's.
// One instance at a time: destroying it shuts SDL down.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "shell/Platform.h"

struct SDL_Window;
union SDL_Event;
struct SDL_WindowEvent;
struct SDL_KeyboardEvent;
struct SDL_TextInputEvent;
struct SDL_MouseMotionEvent;
struct SDL_MouseButtonEvent;
struct SDL_MouseWheelEvent;

class CPlatformSDL : public CPlatform
{
public:
    CPlatformSDL() = default;
    ~CPlatformSDL() override;
    CPlatformSDL(const CPlatformSDL&) = delete;
    CPlatformSDL& operator=(const CPlatformSDL&) = delete;

    bool RegisterWindowClass() override;
    void UnregisterWindowClass() override;

    bool CreateWindow(int width, int height, bool windowed, bool resizable) override;
    void DestroyWindow() override;
    void SetWindowPosition(int x, int y) override;
    void SetWindowSize(int width, int height, bool topmost) override;
    void SetWindowTitle(const char* title) override;
    void GetClientSize(int& width, int& height) override;
    void GetScreenSize(int& width, int& height) override;
    bool ChangeDisplayMode(int width, int height) override;
    void RestoreDisplayMode() override;

    void ShowMessageBox(const char* caption, const char* text) override;
    void GetCursorScreenPosition(int& x, int& y) override;

    bool PeekMessage(Message& message) override;
    long DefaultProcessing(const Message& message) override;

    bool SetPixelFormat(const PixelFormat& format) override;
    bool CreateContext() override;
    void DeleteContext() override;
    void SwapBuffers() override;
    void* GetProcAddress(const char* name) override;

    uint32_t GetMilliseconds() override;
    void Sleep(uint32_t ms) override;

    // SDL's id of the current window (0 without one), so tests can address
    // events they push to it.
    uint32_t GetWindowId() const;

private:
    bool OpenWindow();
    void CloseWindow();
    // Turns one SDL event into zero or more messages at the queue's end,
    // through the translator of its kind.
    void Translate(const SDL_Event& event);
    void TranslateQuit();
    void TranslateWindow(const SDL_WindowEvent& event);
    void TranslateSize(const SDL_WindowEvent& event);
    void TranslateKey(const SDL_KeyboardEvent& event);
    void TranslateText(const SDL_TextInputEvent& event);
    void TranslateMotion(const SDL_MouseMotionEvent& event);
    void TranslateButton(const SDL_MouseButtonEvent& event);
    void TranslateWheel(const SDL_MouseWheelEvent& event);
    // Input events without a window id are taken as the window's own.
    bool IsForAnotherWindow(uint32_t windowId) const;
    void Post(unsigned id, int wparam, int lparam);

    bool m_videoOpen = false;
    bool m_everOpened = false;
    SDL_Window* m_window = nullptr;
    void* m_context = nullptr;
    std::deque<Message> m_queue;

    // What the window was (or will next be) created with: SDL fixes the
    // pixel format when the window is made, so a new format remakes it.
    PixelFormat m_format;
    PixelFormat m_windowFormat;
    int m_width = 0;
    int m_height = 0;
    bool m_windowed = true;
    bool m_resizable = false;
    bool m_topmost = false;
    std::string m_title;
};
