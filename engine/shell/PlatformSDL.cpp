// SDL2 behind the platform interface. Opening the window system is SDL's
// video subsystem; the pixel format is fixed when SDL makes a window, so a
// format change remakes the window; a close request only hides it, because
// the frame that is still running when it arrives may yet present.

#include "shell/PlatformSDL.h"

#include <array>
#include <cstdio>
#include <utility>

#include <SDL.h>

#include "core/Clock.h"

namespace
{

// Virtual-key codes by SDL scancode for the keys whose codes do not come
// from their symbol (letters and digits do, so that they follow the layout).
constexpr std::pair<SDL_Scancode, int> kVirtualKeys[] = {
    {SDL_SCANCODE_BACKSPACE, 8},
    {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13},
    {SDL_SCANCODE_LSHIFT, 16},
    {SDL_SCANCODE_RSHIFT, 16},
    {SDL_SCANCODE_LCTRL, 17},
    {SDL_SCANCODE_RCTRL, 17},
    {SDL_SCANCODE_LALT, 18},
    {SDL_SCANCODE_RALT, 18},
    {SDL_SCANCODE_PAUSE, 19},
    {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, 27},
    {SDL_SCANCODE_SPACE, 32},
    {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},
    {SDL_SCANCODE_END, 35},
    {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37},
    {SDL_SCANCODE_UP, 38},
    {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40},
    {SDL_SCANCODE_PRINTSCREEN, 44},
    {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},
    {SDL_SCANCODE_0, 48},
    {SDL_SCANCODE_1, 49},
    {SDL_SCANCODE_2, 50},
    {SDL_SCANCODE_3, 51},
    {SDL_SCANCODE_4, 52},
    {SDL_SCANCODE_5, 53},
    {SDL_SCANCODE_6, 54},
    {SDL_SCANCODE_7, 55},
    {SDL_SCANCODE_8, 56},
    {SDL_SCANCODE_9, 57},
    {SDL_SCANCODE_A, 65},
    {SDL_SCANCODE_B, 66},
    {SDL_SCANCODE_C, 67},
    {SDL_SCANCODE_D, 68},
    {SDL_SCANCODE_E, 69},
    {SDL_SCANCODE_F, 70},
    {SDL_SCANCODE_G, 71},
    {SDL_SCANCODE_H, 72},
    {SDL_SCANCODE_I, 73},
    {SDL_SCANCODE_J, 74},
    {SDL_SCANCODE_K, 75},
    {SDL_SCANCODE_L, 76},
    {SDL_SCANCODE_M, 77},
    {SDL_SCANCODE_N, 78},
    {SDL_SCANCODE_O, 79},
    {SDL_SCANCODE_P, 80},
    {SDL_SCANCODE_Q, 81},
    {SDL_SCANCODE_R, 82},
    {SDL_SCANCODE_S, 83},
    {SDL_SCANCODE_T, 84},
    {SDL_SCANCODE_U, 85},
    {SDL_SCANCODE_V, 86},
    {SDL_SCANCODE_W, 87},
    {SDL_SCANCODE_X, 88},
    {SDL_SCANCODE_Y, 89},
    {SDL_SCANCODE_Z, 90},
    {SDL_SCANCODE_LGUI, 91},
    {SDL_SCANCODE_RGUI, 92},
    {SDL_SCANCODE_APPLICATION, 93},
    {SDL_SCANCODE_KP_0, 96},
    {SDL_SCANCODE_KP_1, 97},
    {SDL_SCANCODE_KP_2, 98},
    {SDL_SCANCODE_KP_3, 99},
    {SDL_SCANCODE_KP_4, 100},
    {SDL_SCANCODE_KP_5, 101},
    {SDL_SCANCODE_KP_6, 102},
    {SDL_SCANCODE_KP_7, 103},
    {SDL_SCANCODE_KP_8, 104},
    {SDL_SCANCODE_KP_9, 105},
    {SDL_SCANCODE_KP_MULTIPLY, 106},
    {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_MINUS, 109},
    {SDL_SCANCODE_KP_PERIOD, 110},
    {SDL_SCANCODE_KP_DIVIDE, 111},
    {SDL_SCANCODE_F1, 112},
    {SDL_SCANCODE_F2, 113},
    {SDL_SCANCODE_F3, 114},
    {SDL_SCANCODE_F4, 115},
    {SDL_SCANCODE_F5, 116},
    {SDL_SCANCODE_F6, 117},
    {SDL_SCANCODE_F7, 118},
    {SDL_SCANCODE_F8, 119},
    {SDL_SCANCODE_F9, 120},
    {SDL_SCANCODE_F10, 121},
    {SDL_SCANCODE_F11, 122},
    {SDL_SCANCODE_F12, 123},
    {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    {SDL_SCANCODE_SCROLLLOCK, 145},
    {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},
    {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_NONUSHASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
    {SDL_SCANCODE_NONUSBACKSLASH, 226},
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
int ControlCharacter(SDL_Keycode sym)
{
    switch (sym)
    {
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_ESCAPE:
        return 27;
    default:
        return 0;
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

} // namespace

CPlatformSDL::~CPlatformSDL()
{
    CloseWindow();
    if (m_videoOpen)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
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
        Translate(&event);
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

void CPlatformSDL::Translate(const void* data)
{
    const SDL_Event& event = *static_cast<const SDL_Event*>(data);
    const Uint32 ours = m_window ? SDL_GetWindowID(m_window) : 0;

    switch (event.type)
    {
    case SDL_QUIT:
        Post(MsgQuit, 0, 0);
        break;

    case SDL_WINDOWEVENT:
    {
        const SDL_WindowEvent& w = event.window;
        if (w.windowID != ours)
            break;
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(m_window, &width, &height);
        switch (w.event)
        {
        case SDL_WINDOWEVENT_MOVED:
            Post(MsgMove, 0, PackParam(w.data1, w.data2));
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        {
            const bool maximized = (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MAXIMIZED) != 0;
            Post(MsgSize, maximized ? 2 : 0, PackParam(w.data1, w.data2));
            break;
        }
        case SDL_WINDOWEVENT_MINIMIZED:
            Post(MsgSize, 1, 0);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            Post(MsgSize, 2, PackParam(width, height));
            break;
        case SDL_WINDOWEVENT_RESTORED:
            Post(MsgSize, 0, PackParam(width, height));
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
        break;
    }

    case SDL_KEYDOWN:
    case SDL_KEYUP:
    {
        if (event.key.windowID != 0 && event.key.windowID != ours)
            break;
        const int vk = VirtualKey(event.key.keysym);
        if (event.type == SDL_KEYUP)
        {
            if (vk != 0)
                Post(MsgKeyUp, vk, 0);
            break;
        }
        if (vk != 0)
            Post(MsgKeyDown, vk, 0);
        if (const int ch = ControlCharacter(event.key.keysym.sym))
            Post(MsgChar, ch, 0);
        break;
    }

    case SDL_TEXTINPUT:
        if (event.text.windowID != 0 && event.text.windowID != ours)
            break;
        // Character codes are Latin-1; anything beyond it has no code here.
        DecodeUtf8(event.text.text,
                   [this](unsigned code)
                   {
                       if (code >= 32 && code < 256)
                           Post(MsgChar, static_cast<int>(code), 0);
                   });
        break;

    case SDL_MOUSEMOTION:
        if (event.motion.windowID != 0 && event.motion.windowID != ours)
            break;
        Post(MsgMouseMove, 0, PackParam(event.motion.x, event.motion.y));
        break;

    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        const SDL_MouseButtonEvent& b = event.button;
        if (b.windowID != 0 && b.windowID != ours)
            break;
        unsigned first = 0;
        if (b.button == SDL_BUTTON_LEFT)
            first = MsgLeftDown;
        else if (b.button == SDL_BUTTON_RIGHT)
            first = MsgRightDown;
        else if (b.button == SDL_BUTTON_MIDDLE)
            first = MsgMiddleDown;
        else
            break;
        // Down, up, double click follow each other per button. A second
        // click within the double-click time arrives as the double click,
        // a third as a plain press again.
        unsigned id = first + 1;
        if (event.type == SDL_MOUSEBUTTONDOWN)
            id = (b.clicks >= 2 && b.clicks % 2 == 0) ? first + 2 : first;
        Post(id, 0, PackParam(b.x, b.y));
        break;
    }

    case SDL_MOUSEWHEEL:
    {
        const SDL_MouseWheelEvent& w = event.wheel;
        if (w.windowID != 0 && w.windowID != ours)
            break;
        int notches = w.direction == SDL_MOUSEWHEEL_FLIPPED ? -w.y : w.y;
        if (notches == 0)
            break;
        // The delta travels in 16 signed bits.
        if (notches > 273)
            notches = 273;
        if (notches < -273)
            notches = -273;
        int x = 0;
        int y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        Post(MsgWheel, PackParam(0, notches * 120), PackParam(x, y));
        break;
    }

    default:
        break;
    }
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
