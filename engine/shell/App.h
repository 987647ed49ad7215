// The application shell: the one top-level window, the message pump that turns
// window messages into signals and input events, and the frame loop paced by
// sleeping out the rest of a fixed period. Everything runs on the main thread;
// the window system is reached only through CPlatform.
#pragma once

#include <cstdint>

#include "core/Signal.h"
#include "shell/Display.h"
#include "shell/Platform.h"

class CApp;

// The single application object, published by its constructor.
extern CApp* TheApp;

// The entry function: returns 0 without an application, else its StartUp's
// result, with hasArguments 1 when arguments follow the program name and
// commandLine pointing at the first of them.
int RunApp(int argc, char** argv);

class CApp
{
public:
    enum ShowState
    {
        Hidden = 0, // never set by the shell, but the loop draws no frame in it
        Shown = 5,
        Minimized = 6,
    };

    CApp();
    virtual ~CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    // Sizes are client sizes. On failure a message box has been shown.
    virtual bool CreateAppWindow(int width, int height, bool windowed, bool resizable,
                                 bool fullscreen);
    // One frame: FrameTick, DrawFrame, then sleep out the frame period.
    virtual void RunFrame();
    virtual void DrawFrame() {}
    virtual int StartUp(int hasArguments, char** commandLine) = 0;

    // Runs until a close request or a quit message; the iteration in which
    // it arrives still runs its frame.
    void MainLoop();

    void UpdateSize(int width, int height, CDisplay::SizeType kind);
    void CenterWindow(bool horizontally, bool vertically);
    void SetDisplayMode(int width, int height, bool fullscreen);
    void SetTitle(const char* title);
    void SetFramePeriod(int ms) { m_framePeriod = ms; }

    // As the window system reports them now, not the stored size.
    int GetClientWidth();
    int GetClientHeight();

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetX() const { return m_x; }
    int GetY() const { return m_y; }
    int GetFramePeriod() const { return m_framePeriod; }
    int GetShowState() const { return m_showState; }
    bool IsRunning() const { return m_running; }
    bool IsDisplayChanged() const { return m_displayChanged; }
    bool IsResizable() const { return m_resizable; }

    // Where the platform's messages are dispatched to; reaches the
    // application through TheApp, and without one only does the default.
    static long WindowProcedure(const CPlatform::Message& message);

    CSignal<unsigned, int, int> WindowMessage;
    CSignal<int, int> WindowMoved;
    CSignal<int, int, CDisplay::SizeType> WindowResized;
    CSignal<bool> WindowFocusChanged;

protected:
    CPlatform& Platform() { return *m_platform; }
    // Sleeps what is left of the frame period after a frame begun at t0.
    void PaceFrame(uint32_t t0);

    Connections m_connections;

private:
    long HandleMessage(const CPlatform::Message& message);

    CPlatform* m_platform;
    bool m_classRegistered = false;
    bool m_hasWindow = false;
    bool m_running = false;
    bool m_displayChanged = false;
    bool m_resizable = false;
    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
    int m_framePeriod = 1;
    int m_showState = Shown;
};
