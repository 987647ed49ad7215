// The window system as the application shell sees it: one top-level window
// with an OpenGL context, a non-blocking message queue, a millisecond clock,
// message boxes. The shell's logic is written against this interface only, so
// tests can drive it with a scripted platform; the real one is CPlatformSDL.
#pragma once

#include <cstdint>
#include <limits>

class CPlatform
{
public:
    // Messages carry two int parameters. Positions and sizes are packed as
    // signed 16-bit low (x, width) and high (y, height) halves of lparam.
    enum MessageId : unsigned
    {
        MsgNone = 0,
        MsgMove, // lparam: client origin on the screen
        MsgSize, // wparam: CDisplay::SizeType; lparam: client size
        MsgSetFocus,
        MsgKillFocus,
        MsgClose,     // the user asked to close the window
        MsgQuit,      // the process should end; never dispatched
        MsgKeyDown,   // wparam: virtual-key code
        MsgKeyUp,     // wparam: virtual-key code
        MsgChar,      // wparam: character code (Latin-1)
        MsgMouseMove, // lparam: pointer in client coordinates
        MsgLeftDown,  // the button messages carry the pointer in lparam
        MsgLeftUp,
        MsgLeftDouble,
        MsgRightDown,
        MsgRightUp,
        MsgRightDouble,
        MsgMiddleDown,
        MsgMiddleUp,
        MsgMiddleDouble,
        MsgWheel, // wparam high half: signed delta, WheelNotch per notch, + away from the user
    };

    // The wheel delta of one notch, and the most notches a delta can carry
    // in its signed 16-bit half.
    static constexpr int WheelNotch = 120;
    static constexpr int MaxWheelNotches = std::numeric_limits<int16_t>::max() / WheelNotch;

    struct Message
    {
        unsigned id = MsgNone;
        int wparam = 0;
        int lparam = 0;
    };

    // Samples 0 means no multisampling; the platform falls back to none when
    // it cannot give the samples asked for.
    struct PixelFormat
    {
        int colorBits = 32;
        int depthBits = 24;
        int stencilBits = 8;
        int samples = 0;

        bool operator==(const PixelFormat& o) const
        {
            return colorBits == o.colorBits && depthBits == o.depthBits &&
                   stencilBits == o.stencilBits && samples == o.samples;
        }
        bool operator!=(const PixelFormat& o) const { return !(*this == o); }
    };

    static int PackParam(int low, int high)
    {
        return static_cast<int>((static_cast<uint32_t>(high) & 0xFFFFu) << 16 |
                                (static_cast<uint32_t>(low) & 0xFFFFu));
    }
    static int LowHalf(int param) { return static_cast<int16_t>(param & 0xFFFF); }
    static int HighHalf(int param)
    {
        return static_cast<int16_t>((static_cast<uint32_t>(param) >> 16) & 0xFFFF);
    }

    virtual ~CPlatform() = default;

    // The window system must be opened before a window can be made; closing
    // it after the window is gone releases everything it held.
    virtual bool RegisterWindowClass() = 0;
    virtual void UnregisterWindowClass() = 0;

    // A visible window with an empty title at the default position. Sizes
    // are client sizes. Not windowed means borderless.
    virtual bool CreateWindow(int width, int height, bool windowed, bool resizable) = 0;
    virtual void DestroyWindow() = 0;
    virtual void SetWindowPosition(int x, int y) = 0;
    virtual void SetWindowSize(int width, int height, bool topmost) = 0;
    virtual void SetWindowTitle(const char* title) = 0;
    virtual void GetClientSize(int& width, int& height) = 0;
    virtual void GetScreenSize(int& width, int& height) = 0;
    // Switches to a fullscreen display mode of exactly width x height.
    virtual bool ChangeDisplayMode(int width, int height) = 0;
    virtual void RestoreDisplayMode() = 0;

    // Modal, warning icon; falls back to standard error without a display.
    virtual void ShowMessageBox(const char* caption, const char* text) = 0;
    virtual void GetCursorScreenPosition(int& x, int& y) = 0;

    // Takes the next pending message without blocking; false when none.
    virtual bool PeekMessage(Message& message) = 0;
    // What the window system does with a message nobody suppressed: a close
    // request takes the window off the screen.
    virtual long DefaultProcessing(const Message& message) = 0;

    virtual bool SetPixelFormat(const PixelFormat& format) = 0;
    // Creates a double-buffered RGBA compatibility context for the window in
    // the format set last and makes it current.
    virtual bool CreateContext() = 0;
    virtual void DeleteContext() = 0;
    virtual void SwapBuffers() = 0;
    // Null when the entry point is unknown or no GL library is loaded.
    virtual void* GetProcAddress(const char* name) = 0;

    virtual uint32_t GetMilliseconds() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

// The platform every part of the engine talks to: the SDL one unless a test
// has installed another. Returns the previous one; nullptr restores the SDL
// platform. Swap only while no application object exists.
CPlatform& GetPlatform();
CPlatform* SetPlatform(CPlatform* platform);
