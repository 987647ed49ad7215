// SDL2 behind the platform interface. Opening the window system is SDL's
// video subsystem; the pixel format is fixed when SDL makes a window, so a
// format change remakes the window; a close request only hides it, because
// the frame that is still running when it arrives may yet present.

#include "shell/PlatformSDL.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <SDL.h>

#include "core/Clock.h"
#include "shell/Display.h"
#include "shell/InputMap.h"

namespace
{

// Virtual-key codes by SDL scancode for the keys whose codes do not come
// from their symbol (letters and digits do, so that they follow the layout).
constexpr std::pair<SDL_Scancode, int> kVirtualKeys[] = {
    {SDL_SCANCODE_BACKSPACE, CInputMap::KeyBackspace},
    {SDL_SCANCODE_TAB, CInputMap::KeyTab},
    {SDL_SCANCODE_RETURN, CInputMap::KeyReturn},
    {SDL_SCANCODE_KP_ENTER, CInputMap::KeyReturn},
    {SDL_SCANCODE_LSHIFT, CInputMap::KeyShift},
    {SDL_SCANCODE_RSHIFT, CInputMap::KeyShift},
    {SDL_SCANCODE_LCTRL, CInputMap::KeyControl},
    {SDL_SCANCODE_RCTRL, CInputMap::KeyControl},
    {SDL_SCANCODE_LALT, CInputMap::KeyAlt},
    {SDL_SCANCODE_RALT, CInputMap::KeyAlt},
    {SDL_SCANCODE_PAUSE, CInputMap::KeyPause},
    {SDL_SCANCODE_CAPSLOCK, CInputMap::KeyCapsLock},
    {SDL_SCANCODE_ESCAPE, CInputMap::KeyEscape},
    {SDL_SCANCODE_SPACE, CInputMap::KeySpace},
    {SDL_SCANCODE_PAGEUP, CInputMap::KeyPageUp},
    {SDL_SCANCODE_PAGEDOWN, CInputMap::KeyPageDown},
    {SDL_SCANCODE_END, CInputMap::KeyEnd},
    {SDL_SCANCODE_HOME, CInputMap::KeyHome},
    {SDL_SCANCODE_LEFT, CInputMap::KeyArrowLeft},
    {SDL_SCANCODE_UP, CInputMap::KeyArrowUp},
    {SDL_SCANCODE_RIGHT, CInputMap::KeyArrowRight},
    {SDL_SCANCODE_DOWN, CInputMap::KeyArrowDown},
    {SDL_SCANCODE_PRINTSCREEN, CInputMap::KeyPrintScreen},
    {SDL_SCANCODE_INSERT, CInputMap::KeyInsert},
    {SDL_SCANCODE_DELETE, CInputMap::KeyDelete},
    {SDL_SCANCODE_0, '0'},
    {SDL_SCANCODE_1, '1'},
    {SDL_SCANCODE_2, '2'},
    {SDL_SCANCODE_3, '3'},
    {SDL_SCANCODE_4, '4'},
    {SDL_SCANCODE_5, '5'},
    {SDL_SCANCODE_6, '6'},
    {SDL_SCANCODE_7, '7'},
    {SDL_SCANCODE_8, '8'},
    {SDL_SCANCODE_9, '9'},
    {SDL_SCANCODE_A, 'A'},
    {SDL_SCANCODE_B, 'B'},
    {SDL_SCANCODE_C, 'C'},
    {SDL_SCANCODE_D, 'D'},
    {SDL_SCANCODE_E, 'E'},
    {SDL_SCANCODE_F, 'F'},
    {SDL_SCANCODE_G, 'G'},
    {SDL_SCANCODE_H, 'H'},
    {SDL_SCANCODE_I, 'I'},
    {SDL_SCANCODE_J, 'J'},
    {SDL_SCANCODE_K, 'K'},
    {SDL_SCANCODE_L, 'L'},
    {SDL_SCANCODE_M, 'M'},
    {SDL_SCANCODE_N, 'N'},
    {SDL_SCANCODE_O, 'O'},
    {SDL_SCANCODE_P, 'P'},
    {SDL_SCANCODE_Q, 'Q'},
    {SDL_SCANCODE_R, 'R'},
    {SDL_SCANCODE_S, 'S'},
    {SDL_SCANCODE_T, 'T'},
    {SDL_SCANCODE_U, 'U'},
    {SDL_SCANCODE_V, 'V'},
    {SDL_SCANCODE_W, 'W'},
    {SDL_SCANCODE_X, 'X'},
    {SDL_SCANCODE_Y, 'Y'},
    {SDL_SCANCODE_Z, 'Z'},
    {SDL_SCANCODE_LGUI, CInputMap::KeyLeftSystem},
    {SDL_SCANCODE_RGUI, CInputMap::KeyRightSystem},
    {SDL_SCANCODE_APPLICATION, CInputMap::KeyMenu},
    {SDL_SCANCODE_KP_0, CInputMap::KeyPad0},
    {SDL_SCANCODE_KP_1, CInputMap::KeyPad0 + 1},
    {SDL_SCANCODE_KP_2, CInputMap::KeyPad0 + 2},
    {SDL_SCANCODE_KP_3, CInputMap::KeyPad0 + 3},
    {SDL_SCANCODE_KP_4, CInputMap::KeyPad0 + 4},
    {SDL_SCANCODE_KP_5, CInputMap::KeyPad0 + 5},
    {SDL_SCANCODE_KP_6, CInputMap::KeyPad0 + 6},
    {SDL_SCANCODE_KP_7, CInputMap::KeyPad0 + 7},
    {SDL_SCANCODE_KP_8, CInputMap::KeyPad0 + 8},
    {SDL_SCANCODE_KP_9, CInputMap::KeyPad0 + 9},
    {SDL_SCANCODE_KP_MULTIPLY, CInputMap::KeyPadMultiply},
    {SDL_SCANCODE_KP_PLUS, CInputMap::KeyPadAdd},
    {SDL_SCANCODE_KP_MINUS, CInputMap::KeyPadSubtract},
    {SDL_SCANCODE_KP_PERIOD, CInputMap::KeyPadDecimal},
    {SDL_SCANCODE_KP_DIVIDE, CInputMap::KeyPadDivide},
    {SDL_SCANCODE_F1, CInputMap::KeyF1},
    {SDL_SCANCODE_F2, CInputMap::KeyF1 + 1},
    {SDL_SCANCODE_F3, CInputMap::KeyF1 + 2},
    {SDL_SCANCODE_F4, CInputMap::KeyF1 + 3},
    {SDL_SCANCODE_F5, CInputMap::KeyF1 + 4},
    {SDL_SCANCODE_F6, CInputMap::KeyF1 + 5},
    {SDL_SCANCODE_F7, CInputMap::KeyF1 + 6},
    {SDL_SCANCODE_F8, CInputMap::KeyF1 + 7},
    {SDL_SCANCODE_F9, CInputMap::KeyF1 + 8},
    {SDL_SCANCODE_F10, CInputMap::KeyF1 + 9},
    {SDL_SCANCODE_F11, CInputMap::KeyF1 + 10},
    {SDL_SCANCODE_F12, CInputMap::KeyF1 + 11},
    {SDL_SCANCODE_NUMLOCKCLEAR, CInputMap::KeyNumLock},
    {SDL_SCANCODE_SCROLLLOCK, CInputMap::KeyScrollLock},
    {SDL_SCANCODE_SEMICOLON, CInputMap::KeySemicolon},
    {SDL_SCANCODE_EQUALS, CInputMap::KeyEquals},
    {SDL_SCANCODE_COMMA, CInputMap::KeyComma},
    {SDL_SCANCODE_MINUS, CInputMap::KeyMinus},
    {SDL_SCANCODE_PERIOD, CInputMap::KeyPeriod},
    {SDL_SCANCODE_SLASH, CInputMap::KeySlash},
    {SDL_SCANCODE_GRAVE, CInputMap::KeyGrave},
    {SDL_SCANCODE_LEFTBRACKET, CInputMap::KeyLeftBracket},
    {SDL_SCANCODE_BACKSLASH, CInputMap::KeyBackslash},
    {SDL_SCANCODE_NONUSHASH, CInputMap::KeyBackslash},
    {SDL_SCANCODE_RIGHTBRACKET, CInputMap::KeyRightBracket},
    {SDL_SCANCODE_APOSTROPHE, CInputMap::KeyApostrophe},
    {SDL_SCANCODE_NONUSBACKSLASH, CInputMap::KeyExtraBackslash},
};

// 0 for keys without a code; those send no key messages.
int VirtualKey(const SDL_Keysym& key)
{
    if (key.sym >= SDLK_a && key.sym <= SDLK_z)
        return static_cast<int>(key.sym - SDLK_a) + 'A';
    if (key.sym >= SDLK_0 && key.sym <= SDLK_9)
        return static_cast<int>(key.sym - SDLK_0) + '0';

    static const std::array<int, SDL_NUM_SCANCODES> table = []
    {
        std::array<int, SDL_NUM_SCANCODES> codes{};
        for (const auto& entry : kVirtualKeys)
            codes[entry.first] = entry.second;
        return codes;
    }();
    const int scancode = static_cast<int>(key.scancode);
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES)
        return 0;
    return table[static_cast<size_t>(scancode)];
}

// Keys an edit box expects as characters, which SDL's text input leaves out.
// Their character codes are their key codes.
int ControlCharacter(SDL_Keycode sym)
{
    switch (sym)
    {
    case SDLK_BACKSPACE:
        return CInputMap::KeyBackspace;
    case SDLK_TAB:
        return CInputMap::KeyTab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return CInputMap::KeyReturn;
    case SDLK_ESCAPE:
        return CInputMap::KeyEscape;
    default:
        return 0;
    }
}

// Character messages carry Latin-1 from the space up; the control
// characters below it come from ControlCharacter only.
constexpr unsigned kFirstPrintable = 0x20;
constexpr unsigned kLatin1End = 0x100;

struct ButtonMessages
{
    unsigned down;
    unsigned up;
    unsigned doubleClick;
};

// Null for the buttons the shell has no messages for.
const ButtonMessages* MessagesOf(Uint8 button)
{
    static constexpr ButtonMessages left{CPlatform::MsgLeftDown, CPlatform::MsgLeftUp,
                                         CPlatform::MsgLeftDouble};
    static constexpr ButtonMessages right{CPlatform::MsgRightDown, CPlatform::MsgRightUp,
                                          CPlatform::MsgRightDouble};
    static constexpr ButtonMessages middle{CPlatform::MsgMiddleDown, CPlatform::MsgMiddleUp,
                                           CPlatform::MsgMiddleDouble};
    switch (button)
    {
    case SDL_BUTTON_LEFT:
        return &left;
    case SDL_BUTTON_RIGHT:
        return &right;
    case SDL_BUTTON_MIDDLE:
        return &middle;
    default:
        return nullptr;
    }
}

// Calls `emit` with each code point of UTF-8 `text`; malformed bytes are
// skipped one at a time.
template <typename Emit>
void DecodeUtf8(const char* text, Emit emit)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p)
    {
        const unsigned lead = *p;
        int extra = 0;
        unsigned code = lead;
        if (lead >= 0xF0 && lead < 0xF8)
        {
            extra = 3;
            code = lead & 0x07;
        }
        else if (lead >= 0xE0)
        {
            extra = lead < 0xF0 ? 2 : -1;
            code = lead & 0x0F;
        }
        else if (lead >= 0xC2)
        {
            extra = 1;
            code = lead & 0x1F;
        }
        else if (lead >= 0x80)
            extra = -1;

        int i = 1;
        for (; i <= extra; ++i)
        {
            if ((p[i] & 0xC0) != 0x80)
                break;
            code = (code << 6) | (p[i] & 0x3F);
        }
        // Overlong forms of shorter sequences are malformed too.
        const unsigned smallest[] = {0, 0x80, 0x800, 0x10000};
        if (extra < 0 || i <= extra || code < smallest[extra])
        {
            ++p;
            continue;
        }
        emit(code);
        p += extra + 1;
    }
}

void SetGLAttributes(const CPlatform::PixelFormat& format)
{
    const int channel = format.colorBits >= 24 ? 8 : format.colorBits / 3;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format.stencilBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, format.samples > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, format.samples > 0 ? format.samples : 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

// Xlib's answer to a lost server is its I/O error handler, after which it
// calls exit(1). Exiting runs the static destructors, and those close the
// window through Xlib on the dead connection, where it waits for an event
// for ever at full speed or crashes. Ours says so once and ends the process
// without touching the display again. Xlib is reached through the library
// SDL loaded for its X11 driver, so the engine needs no Xlib of its own.
using XIOErrorHandler = int (*)(void* display);
using XSetIOErrorHandlerFn = XIOErrorHandler (*)(XIOErrorHandler handler);

// Set while ours is installed; valid as long as SDL's video is open.
XSetIOErrorHandlerFn g_setIOErrorHandler = nullptr;
XIOErrorHandler g_previousIOErrorHandler = nullptr;

int EndOnDisplayLoss(void*)
{
    const char* display = std::getenv("DISPLAY");
    std::fflush(stdout);
    std::fprintf(stderr, "Lost the connection to the X display%s%s; exiting.\n", display ? " " : "",
                 display ? display : "");
    std::_Exit(EXIT_FAILURE);
}

void InstallDisplayLossHandler()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (g_setIOErrorHandler || !driver || SDL_strcmp(driver, "x11") != 0)
        return;
    // Only a reference of ours to the library SDL holds open already.
    void* xlib = SDL_LoadObject("libX11.so.6");
    if (!xlib)
        return;
    auto set = reinterpret_cast<XSetIOErrorHandlerFn>(SDL_LoadFunction(xlib, "XSetIOErrorHandler"));
    SDL_UnloadObject(xlib);
    if (!set)
        return;
    g_previousIOErrorHandler = set(&EndOnDisplayLoss);
    g_setIOErrorHandler = set;
}

// Before SDL's video closes, while Xlib is surely still loaded.
void RemoveDisplayLossHandler()
{
    if (!g_setIOErrorHandler)
        return;
    g_setIOErrorHandler(g_previousIOErrorHandler);
    g_setIOErrorHandler = nullptr;
    g_previousIOErrorHandler = nullptr;
}

} // namespace

CPlatformSDL::~CPlatformSDL()
{
    CloseWindow();
    if (m_videoOpen)
    {
        RemoveDisplayLossHandler();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    if (m_everOpened)
        SDL_Quit();
}

bool CPlatformSDL::RegisterWindowClass()
{
    if (!m_videoOpen)
    {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return false;
        m_videoOpen = true;
        m_everOpened = true;
        InstallDisplayLossHandler();
    }
    // The screen saver and monitor power-down stay off while the window system is open.
    SDL_DisableScreenSaver();
    return true;
}

void CPlatformSDL::UnregisterWindowClass()
{
    CloseWindow();
    m_queue.clear();
    if (m_videoOpen)
    {
        RemoveDisplayLossHandler();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        m_videoOpen = false;
    }
}

bool CPlatformSDL::CreateWindow(int width, int height, bool windowed, bool resizable)
{
    if (!m_videoOpen)
        return false;
    CloseWindow();
    m_width = width;
    m_height = height;
    m_windowed = windowed;
    m_resizable = resizable;
    m_title.clear();
    return OpenWindow();
}

bool CPlatformSDL::OpenWindow()
{
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (!m_windowed)
        flags |= SDL_WINDOW_BORDERLESS;
    if (m_resizable)
        flags |= SDL_WINDOW_RESIZABLE;

    SetGLAttributes(m_format);
    m_window = SDL_CreateWindow(m_title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                m_width, m_height, flags);
    if (!m_window && m_format.samples > 0)
    {
        // No multisampled visual: the closest format is the same without samples.
        PixelFormat plain = m_format;
        plain.samples = 0;
        SetGLAttributes(plain);
        m_window = SDL_CreateWindow(m_title.c_str(), SDL_WINDOWPOS_UNDEFINED,
                                    SDL_WINDOWPOS_UNDEFINED, m_width, m_height, flags);
    }
    m_windowFormat = m_format;
    return m_window != nullptr;
}

void CPlatformSDL::CloseWindow()
{
    DeleteContext();
    if (m_window)
    {
        SDL_DestroyWindow(m_window);
        m_window = nullptr;
    }
}

void CPlatformSDL::DestroyWindow()
{
    CloseWindow();
}

void CPlatformSDL::SetWindowPosition(int x, int y)
{
    if (m_window)
        SDL_SetWindowPosition(m_window, x, y);
}

void CPlatformSDL::SetWindowSize(int width, int height, bool topmost)
{
    if (!m_window)
        return;
    m_width = width;
    m_height = height;
    m_topmost = topmost;
    SDL_SetWindowSize(m_window, width, height);
    SDL_SetWindowAlwaysOnTop(m_window, topmost ? SDL_TRUE : SDL_FALSE);
}

void CPlatformSDL::SetWindowTitle(const char* title)
{
    m_title = title ? title : "";
    if (m_window)
        SDL_SetWindowTitle(m_window, m_title.c_str());
}

void CPlatformSDL::GetClientSize(int& width, int& height)
{
    width = 0;
    height = 0;
    if (m_window)
        SDL_GetWindowSize(m_window, &width, &height);
}

void CPlatformSDL::GetScreenSize(int& width, int& height)
{
    width = 0;
    height = 0;
    if (!m_videoOpen)
        return;
    const int display = m_window ? SDL_GetWindowDisplayIndex(m_window) : 0;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) == 0)
    {
        width = mode.w;
        height = mode.h;
    }
}

bool CPlatformSDL::ChangeDisplayMode(int width, int height)
{
    if (!m_window)
        return false;
    const int display = SDL_GetWindowDisplayIndex(m_window);
    if (display < 0)
        return false;
    // Only the resolution is asked for: depth and refresh rate stay.
    SDL_DisplayMode wanted = {0, width, height, 0, nullptr};
    SDL_DisplayMode closest;
    if (!SDL_GetClosestDisplayMode(display, &wanted, &closest))
        return false;
    if (closest.w != width || closest.h != height)
        return false;
    if (SDL_SetWindowDisplayMode(m_window, &closest) != 0)
        return false;
    return SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN) == 0;
}

void CPlatformSDL::RestoreDisplayMode()
{
    if (!m_window)
        return;
    // Leaving fullscreen brings back SDL's idea of the window from before
    // it, so the size and stacking asked for since are applied again.
    SDL_SetWindowFullscreen(m_window, 0);
    SDL_SetWindowSize(m_window, m_width, m_height);
    SDL_SetWindowAlwaysOnTop(m_window, m_topmost ? SDL_TRUE : SDL_FALSE);
}

void CPlatformSDL::ShowMessageBox(const char* caption, const char* text)
{
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text);
}

void CPlatformSDL::GetCursorScreenPosition(int& x, int& y)
{
    x = 0;
    y = 0;
    if (m_videoOpen)
        SDL_GetGlobalMouseState(&x, &y);
}

bool CPlatformSDL::PeekMessage(Message& message)
{
    SDL_Event event;
    while (m_queue.empty() && m_videoOpen && SDL_PollEvent(&event))
        Translate(event);
    if (m_queue.empty())
        return false;
    message = m_queue.front();
    m_queue.pop_front();
    return true;
}

long CPlatformSDL::DefaultProcessing(const Message& message)
{
    if (message.id == MsgClose && m_window)
        SDL_HideWindow(m_window);
    return 0;
}

void CPlatformSDL::Post(unsigned id, int wparam, int lparam)
{
    Message message;
    message.id = id;
    message.wparam = wparam;
    message.lparam = lparam;
    m_queue.push_back(message);
}

void CPlatformSDL::Translate(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_QUIT:
        TranslateQuit();
        break;
    case SDL_WINDOWEVENT:
        TranslateWindow(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(event.key);
        break;
    case SDL_TEXTINPUT:
        TranslateText(event.text);
        break;
    case SDL_MOUSEMOTION:
        TranslateMotion(event.motion);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        TranslateButton(event.button);
        break;
    case SDL_MOUSEWHEEL:
        TranslateWheel(event.wheel);
        break;
    default:
        break;
    }
}

bool CPlatformSDL::IsForAnotherWindow(uint32_t windowId) const
{
    return windowId != 0 && windowId != GetWindowId();
}

void CPlatformSDL::TranslateQuit()
{
    Post(MsgQuit, 0, 0);
}

// Window events count only when they name this window, unlike input.
void CPlatformSDL::TranslateWindow(const SDL_WindowEvent& event)
{
    if (event.windowID != GetWindowId())
        return;
    switch (event.event)
    {
    case SDL_WINDOWEVENT_MOVED:
        Post(MsgMove, 0, PackParam(event.data1, event.data2));
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
        TranslateSize(event);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        Post(MsgSetFocus, 0, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        Post(MsgKillFocus, 0, 0);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        Post(MsgClose, 0, 0);
        break;
    default:
        break;
    }
}

// SDL tells a new size apart from a change of state; the shell hears the
// state with every size, and a minimized window as no size at all.
void CPlatformSDL::TranslateSize(const SDL_WindowEvent& event)
{
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(m_window, &width, &height);
    switch (event.event)
    {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    {
        const bool maximized = (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MAXIMIZED) != 0;
        Post(MsgSize, maximized ? CDisplay::Maximized : CDisplay::Restored,
             PackParam(event.data1, event.data2));
        break;
    }
    case SDL_WINDOWEVENT_MINIMIZED:
        Post(MsgSize, CDisplay::Minimized, 0);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        Post(MsgSize, CDisplay::Maximized, PackParam(width, height));
        break;
    case SDL_WINDOWEVENT_RESTORED:
        Post(MsgSize, CDisplay::Restored, PackParam(width, height));
        break;
    default:
        break;
    }
}

void CPlatformSDL::TranslateKey(const SDL_KeyboardEvent& event)
{
    if (IsForAnotherWindow(event.windowID))
        return;
    const int vk = VirtualKey(event.keysym);
    if (event.type == SDL_KEYUP)
    {
        if (vk != 0)
            Post(MsgKeyUp, vk, 0);
        return;
    }
    if (vk != 0)
        Post(MsgKeyDown, vk, 0);
    if (const int ch = ControlCharacter(event.keysym.sym))
        Post(MsgChar, ch, 0);
}

void CPlatformSDL::TranslateText(const SDL_TextInputEvent& event)
{
    if (IsForAnotherWindow(event.windowID))
        return;
    DecodeUtf8(event.text,
               [this](unsigned code)
               {
                   if (code >= kFirstPrintable && code < kLatin1End)
                       Post(MsgChar, static_cast<int>(code), 0);
               });
}

void CPlatformSDL::TranslateMotion(const SDL_MouseMotionEvent& event)
{
    if (IsForAnotherWindow(event.windowID))
        return;
    Post(MsgMouseMove, 0, PackParam(event.x, event.y));
}

void CPlatformSDL::TranslateButton(const SDL_MouseButtonEvent& event)
{
    if (IsForAnotherWindow(event.windowID))
        return;
    const ButtonMessages* messages = MessagesOf(event.button);
    if (!messages)
        return;
    // A second click within the double-click time arrives as the double
    // click, a third as a plain press again.
    unsigned id = messages->up;
    if (event.type == SDL_MOUSEBUTTONDOWN)
        id = (event.clicks >= 2 && event.clicks % 2 == 0) ? messages->doubleClick : messages->down;
    Post(id, 0, PackParam(event.x, event.y));
}

void CPlatformSDL::TranslateWheel(const SDL_MouseWheelEvent& event)
{
    if (IsForAnotherWindow(event.windowID))
        return;
    const int notches = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
    if (notches == 0)
        return;
    int x = 0;
    int y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    const int sent = std::clamp(notches, -MaxWheelNotches, MaxWheelNotches);
    Post(MsgWheel, PackParam(0, sent * WheelNotch), PackParam(x, y));
}

bool CPlatformSDL::SetPixelFormat(const PixelFormat& format)
{
    m_format = format;
    if (!m_window || format == m_windowFormat)
        return m_window != nullptr;
    // A window keeps its format once it has a context.
    if (m_context)
        return false;
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(m_window, &x, &y);
    CloseWindow();
    if (!OpenWindow())
        return false;
    SDL_SetWindowPosition(m_window, x, y);
    return true;
}

bool CPlatformSDL::CreateContext()
{
    if (!m_window)
        return false;
    DeleteContext();
    m_context = SDL_GL_CreateContext(m_window);
    if (!m_context && m_windowFormat.samples > 0)
    {
        PixelFormat plain = m_format;
        plain.samples = 0;
        if (SetPixelFormat(plain))
            m_context = SDL_GL_CreateContext(m_window);
    }
    if (!m_context)
        return false;
    // Frames are paced by the shell's sleep, not by the display's refresh.
    SDL_GL_SetSwapInterval(0);
    return true;
}

void CPlatformSDL::DeleteContext()
{
    if (m_context)
    {
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_context));
        m_context = nullptr;
    }
}

void CPlatformSDL::SwapBuffers()
{
    if (m_window && m_context)
        SDL_GL_SwapWindow(m_window);
}

void* CPlatformSDL::GetProcAddress(const char* name)
{
    if (!m_videoOpen)
        return nullptr;
    return SDL_GL_GetProcAddress(name);
}

uint32_t CPlatformSDL::GetMilliseconds()
{
    return ::GetMilliseconds();
}

void CPlatformSDL::Sleep(uint32_t ms)
{
    SleepMilliseconds(ms);
}

uint32_t CPlatformSDL::GetWindowId() const
{
    return m_window ? SDL_GetWindowID(m_window) : 0;
}
