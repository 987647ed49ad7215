// A scripted platform for testing the shell's logic without a window system:
// messages come in per-loop-iteration batches, the clock moves only when told
// (or by Sleep), and the calls that change the window are logged in order.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shell/Platform.h"

class FakePlatform : public CPlatform
{
public:
    using Boxes = std::vector<std::pair<std::string, std::string>>;

    static Message Make(unsigned id, int wparam = 0, int lparam = 0)
    {
        Message m;
        m.id = id;
        m.wparam = wparam;
        m.lparam = lparam;
        return m;
    }

    // Each batch is what one pass of the message pump sees. Once all are
    // taken a quit message ends the loop, so a test can never hang.
    std::deque<std::deque<Message>> batches;
    bool quitSent = false;

    uint32_t now = 1000;
    std::vector<uint32_t> sleeps;
    std::vector<std::string> calls;
    Boxes boxes;
    std::vector<Message> defaulted;
    std::map<std::string, void*> procs;
    std::vector<std::string> lookups;
    PixelFormat format;

    bool registerOk = true, createOk = true, displayModeOk = true, contextOk = true;
    int screenWidth = 1024, screenHeight = 768, cursorX = 0, cursorY = 0;

    bool RegisterWindowClass() override { return Log("RegisterWindowClass", registerOk); }
    void UnregisterWindowClass() override { Log("UnregisterWindowClass"); }
    bool CreateWindow(int width, int height, bool windowed, bool resizable) override
    {
        return Log("CreateWindow " + Size(width, height) + (windowed ? " windowed" : " popup") +
                       (resizable ? " resizable" : ""),
                   createOk);
    }
    void DestroyWindow() override { Log("DestroyWindow"); }
    void SetWindowPosition(int x, int y) override
    {
        Log("SetWindowPosition " + std::to_string(x) + "," + std::to_string(y));
    }
    void SetWindowSize(int width, int height, bool topmost) override
    {
        Log("SetWindowSize " + Size(width, height) + (topmost ? " topmost" : ""));
    }
    void SetWindowTitle(const char* title) override { Log(std::string("SetWindowTitle ") + title); }
    void GetClientSize(int& width, int& height) override { width = height = 0; }
    void GetScreenSize(int& width, int& height) override
    {
        width = screenWidth;
        height = screenHeight;
    }
    bool ChangeDisplayMode(int width, int height) override
    {
        return Log("ChangeDisplayMode " + Size(width, height), displayModeOk);
    }
    void RestoreDisplayMode() override { Log("RestoreDisplayMode"); }
    void ShowMessageBox(const char* caption, const char* text) override
    {
        boxes.emplace_back(caption, text);
    }
    void GetCursorScreenPosition(int& x, int& y) override
    {
        x = cursorX;
        y = cursorY;
    }

    bool PeekMessage(Message& message) override
    {
        if (batches.empty())
        {
            message = Make(MsgQuit);
            return !std::exchange(quitSent, true);
        }
        if (batches.front().empty())
        {
            batches.pop_front();
            return false;
        }
        message = batches.front().front();
        batches.front().pop_front();
        return true;
    }
    long DefaultProcessing(const Message& message) override
    {
        defaulted.push_back(message);
        return 0;
    }

    bool SetPixelFormat(const PixelFormat& f) override
    {
        format = f;
        return Log("SetPixelFormat", true);
    }
    bool CreateContext() override { return Log("CreateContext", contextOk); }
    void DeleteContext() override { Log("DeleteContext"); }
    void SwapBuffers() override { Log("SwapBuffers"); }
    void* GetProcAddress(const char* name) override
    {
        lookups.push_back(name);
        auto it = procs.find(name);
        return it == procs.end() ? nullptr : it->second;
    }

    uint32_t GetMilliseconds() override { return now; }
    void Sleep(uint32_t ms) override
    {
        Log("Sleep " + std::to_string(ms));
        sleeps.push_back(ms);
        now += ms;
    }

private:
    static std::string Size(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }
    bool Log(std::string call, bool result = true)
    {
        calls.push_back(std::move(call));
        return result;
    }
};

// Installs a fake platform for the life of the object.
class ScopedFakePlatform
{
public:
    ScopedFakePlatform() : m_previous(SetPlatform(&fake)) {}
    ~ScopedFakePlatform() { SetPlatform(m_previous); }
    ScopedFakePlatform(const ScopedFakePlatform&) = delete;
    ScopedFakePlatform& operator=(const ScopedFakePlatform&) = delete;

    FakePlatform fake;

private:
    CPlatform* m_previous;
};
