// The shell's window procedure, message pump and frame pacing. The platform
// hands over messages with packed parameters; positions and sizes are signed
// 16-bit halves, so a window partly off the left edge reports a negative x.

#include "shell/App.h"

#include <cassert>

#include "core/Timer.h"
#include "shell/InputMap.h"

CApp* TheApp = nullptr;

int RunApp(int argc, char** argv)
{
    if (!TheApp)
        return 0;
    const int hasArguments = argc > 1 ? 1 : 0;
    return TheApp->StartUp(hasArguments, argc > 0 ? argv + 1 : argv);
}

CApp::CApp() : m_platform(&GetPlatform())
{
    assert(!TheApp && "CApp::CApp(): only one application may exist");
    TheApp = this;
    ConnectSlot(m_connections, WindowResized, this, &CApp::UpdateSize);
}

CApp::~CApp()
{
    m_connections.Clear();
    if (TheApp == this)
        TheApp = nullptr;
    if (m_hasWindow)
        m_platform->DestroyWindow();
    if (m_classRegistered)
        m_platform->UnregisterWindowClass();
}

bool CApp::CreateAppWindow(int width, int height, bool windowed, bool resizable, bool fullscreen)
{
    m_resizable = resizable;
    if (!m_platform->RegisterWindowClass())
    {
        m_platform->ShowMessageBox("App Error", "Could not register window");
        return false;
    }
    m_classRegistered = true;
    if (!m_platform->CreateWindow(width, height, windowed, resizable))
    {
        m_platform->ShowMessageBox("App Error", "Could not create window");
        return false;
    }
    m_hasWindow = true;
    SetDisplayMode(width, height, fullscreen);
    return true;
}

void CApp::RunFrame()
{
    // Timers run before t0, so their time is not part of the paced frame.
    FrameTick().Emit();
    const uint32_t t0 = m_platform->GetMilliseconds();
    DrawFrame();
    PaceFrame(t0);
}

void CApp::PaceFrame(uint32_t t0)
{
    // Unsigned difference, so a clock that wraps mid-frame still paces right.
    const int elapsed = static_cast<int>(m_platform->GetMilliseconds() - t0);
    const int rest = m_framePeriod - elapsed;
    if (rest > 0)
        m_platform->Sleep(static_cast<uint32_t>(rest));
}

void CApp::MainLoop()
{
    m_running = true;
    do
    {
        CPlatform::Message message;
        while (m_platform->PeekMessage(message))
        {
            if (message.id == CPlatform::MsgQuit)
                m_running = false;
            else
                WindowProcedure(message);
        }
        if (m_showState != Minimized && m_showState != Hidden)
            RunFrame();
        else
            m_platform->Sleep(static_cast<uint32_t>(m_framePeriod));
    } while (m_running);
}

void CApp::UpdateSize(int width, int height, CDisplay::SizeType kind)
{
    m_width = width;
    m_height = height;
    m_showState = kind == CDisplay::Minimized ? Minimized : Shown;
}

void CApp::CenterWindow(bool horizontally, bool vertically)
{
    int screenWidth = 0;
    int screenHeight = 0;
    m_platform->GetScreenSize(screenWidth, screenHeight);
    int x = m_x;
    int y = m_y;
    if (horizontally)
        x = screenWidth / 2 - static_cast<int>(static_cast<unsigned>(m_width) / 2);
    if (vertically)
        y = screenHeight / 2 - static_cast<int>(static_cast<unsigned>(m_height) / 2);
    m_x = x;
    m_y = y;
    m_platform->SetWindowPosition(x, y);
}

void CApp::SetDisplayMode(int width, int height, bool fullscreen)
{
    m_width = width;
    m_height = height;
    m_platform->SetWindowSize(width, height, fullscreen);
    if (fullscreen)
    {
        if (m_displayChanged)
            return;
        if (m_platform->ChangeDisplayMode(width, height))
            m_displayChanged = true;
        else
            m_platform->ShowMessageBox("Error", "Could not set to fullscreen mode");
        return;
    }
    if (m_displayChanged)
    {
        m_platform->RestoreDisplayMode();
        m_displayChanged = false;
    }
}

void CApp::SetTitle(const char* title)
{
    m_platform->SetWindowTitle(title);
}

int CApp::GetClientWidth()
{
    int width = 0;
    int height = 0;
    m_platform->GetClientSize(width, height);
    return width;
}

int CApp::GetClientHeight()
{
    int width = 0;
    int height = 0;
    m_platform->GetClientSize(width, height);
    return height;
}

long CApp::WindowProcedure(const CPlatform::Message& message)
{
    if (!TheApp)
        return GetPlatform().DefaultProcessing(message);
    return TheApp->HandleMessage(message);
}

// message            action                                  then
// move               WindowMoved(x, y)                       common path
// size               WindowResized(width, height, kind)      common path
// focus gained/lost  WindowFocusChanged(true / false)        common path
// close              clear the running flag                  common path
// key down           arrow keys only: key press              common path
// character          character press with its code           common path
// key up             key release with the virtual key        common path
// mouse and wheel    mouse events                            common path
// Common path: WindowMessage, then the platform's default processing.
long CApp::HandleMessage(const CPlatform::Message& message)
{
    const int w = message.wparam;
    const int l = message.lparam;
    switch (message.id)
    {
    case CPlatform::MsgMove:
        WindowMoved.Emit(CPlatform::LowHalf(l), CPlatform::HighHalf(l));
        break;
    case CPlatform::MsgSize:
        WindowResized.Emit(CPlatform::LowHalf(l), CPlatform::HighHalf(l),
                           static_cast<CDisplay::SizeType>(w));
        break;
    case CPlatform::MsgSetFocus:
        WindowFocusChanged.Emit(true);
        break;
    case CPlatform::MsgKillFocus:
        WindowFocusChanged.Emit(false);
        break;
    case CPlatform::MsgClose:
        m_running = false;
        break;
    case CPlatform::MsgKeyDown:
        if (w >= CInputMap::KeyArrowLeft && w <= CInputMap::KeyArrowDown)
            EmitKeyEvent(CInputMap::Press, w);
        break;
    case CPlatform::MsgChar:
        EmitCharEvent(w);
        break;
    case CPlatform::MsgKeyUp:
        EmitKeyEvent(CInputMap::Release, w);
        break;
    case CPlatform::MsgMouseMove:
        EmitMouseMove(CPlatform::LowHalf(l), CPlatform::HighHalf(l));
        break;
    case CPlatform::MsgLeftDown:
        EmitMouseButton(CInputMap::Press, CInputMap::Left);
        break;
    case CPlatform::MsgLeftUp:
        EmitMouseButton(CInputMap::Release, CInputMap::Left);
        break;
    case CPlatform::MsgLeftDouble:
        EmitMouseButton(CInputMap::DoubleClick, CInputMap::Left);
        break;
    case CPlatform::MsgRightDown:
        EmitMouseButton(CInputMap::Press, CInputMap::Right);
        break;
    case CPlatform::MsgRightUp:
        EmitMouseButton(CInputMap::Release, CInputMap::Right);
        break;
    case CPlatform::MsgRightDouble:
        EmitMouseButton(CInputMap::DoubleClick, CInputMap::Right);
        break;
    case CPlatform::MsgMiddleDown:
        EmitMouseButton(CInputMap::Press, CInputMap::Middle);
        break;
    case CPlatform::MsgMiddleUp:
        EmitMouseButton(CInputMap::Release, CInputMap::Middle);
        break;
    case CPlatform::MsgMiddleDouble:
        EmitMouseButton(CInputMap::DoubleClick, CInputMap::Middle);
        break;
    case CPlatform::MsgWheel:
        EmitMouseWheel(CPlatform::HighHalf(w));
        break;
    default:
        break;
    }
    WindowMessage.Emit(message.id, w, l);
    return m_platform->DefaultProcessing(message);
}
