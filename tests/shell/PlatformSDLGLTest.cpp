// The shell on the real SDL platform in a real window: SDL events pushed into
// the queue come out as the right signals and input records, and the window
// answers resizing, moving, titles, fullscreen requests and closing.

#include "shell/PlatformSDL.h"

#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "shell/InputMap.h"
#include "shell/SDLTestSupport.h"

namespace
{

using Record = std::tuple<unsigned, unsigned, int, float, float>; // action, code, key, x, y

struct Recorder
{
    explicit Recorder(CApp& app)
    {
        ConnectSlot(connections, GetKeyboardSignal(), this, &Recorder::OnInput);
        ConnectSlot(connections, GetMouseSignal(), this, &Recorder::OnInput);
        ConnectSlot(connections, app.WindowMessage, this, &Recorder::OnMessage);
        ConnectSlot(connections, app.WindowMoved, this, &Recorder::OnMoved);
        ConnectSlot(connections, app.WindowResized, this, &Recorder::OnResized);
        ConnectSlot(connections, app.WindowFocusChanged, this, &Recorder::OnFocus);
    }
    void Clear()
    {
        input.clear();
        messages.clear();
        moves.clear();
        sizes.clear();
        focus.clear();
    }
    void OnInput(CInputMap& i)
    {
        input.emplace_back(i.Action, i.Code, i.Key, i.Position.x, i.Position.y);
    }
    void OnMessage(unsigned id, int, int) { messages.push_back(id); }
    void OnMoved(int x, int y) { moves.emplace_back(x, y); }
    void OnResized(int w, int h, CDisplay::SizeType kind) { sizes.emplace_back(w, h, kind); }
    void OnFocus(bool gained) { focus.push_back(gained); }

    std::vector<Record> input;
    std::vector<unsigned> messages;
    std::vector<std::pair<int, int>> moves;
    std::vector<std::tuple<int, int, CDisplay::SizeType>> sizes;
    std::vector<bool> focus;
    Connections connections;
};

class PlatformSDLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.CreateAppWindow(800, 600, true, true, false));
        app.SetFramePeriod(1);
    }

    // Lets the window system say what it has to about the new window, then
    // pushes the test's events and runs one more frame to take them.
    void RunWith(const std::function<void(Uint32 window)>& push)
    {
        app.step = [&](int frame)
        {
            if (frame == 10)
            {
                recorder.Clear();
                push(sdl.GetWindowId());
            }
            return frame > 10;
        };
        app.MainLoop();
        ASSERT_FALSE(app.timedOut);
    }

    ScopedSDLPlatform scope;
    RecordingSDL& sdl = scope.sdl;
    ScriptedApp<CApp> app{sdl};
    Recorder recorder{app};
};

void Push(SDL_Event event)
{
    SDL_PushEvent(&event);
}

SDL_Event Key(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint32 window)
{
    SDL_Event e{};
    e.type = type;
    e.key.windowID = window;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym;
    return e;
}

SDL_Event Button(Uint32 type, Uint8 button, Uint8 clicks, Uint32 window)
{
    SDL_Event e{};
    e.type = type;
    e.button.windowID = window;
    e.button.button = button;
    e.button.clicks = clicks;
    e.button.x = e.button.y = 99;
    return e;
}

SDL_Event Wheel(int y, Uint32 direction, Uint32 window)
{
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = window;
    e.wheel.y = y;
    e.wheel.direction = direction;
    return e;
}

} // namespace

TEST_F(PlatformSDLTest, KeyboardEventsBecomeKeyRecords)
{
    RunWith(
        [](Uint32 id)
        {
            Push(Key(SDL_KEYDOWN, SDL_SCANCODE_LEFT, SDLK_LEFT, id));
            Push(Key(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a, id)); // comes as its character
            SDL_Event text{};
            text.type = SDL_TEXTINPUT;
            text.text.windowID = id;
            SDL_strlcpy(text.text.text, "a\xC3\xA9\xE2\x82\xAC",
                        sizeof(text.text.text)); // a, e acute, euro
            Push(text);
            Push(Key(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, id));
            Push(Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, id));
            Push(Key(SDL_KEYUP, SDL_SCANCODE_A, SDLK_a, id));
            Push(Key(SDL_KEYUP, SDL_SCANCODE_LEFT, SDLK_LEFT, id));
            Push(Key(SDL_KEYUP, SDL_SCANCODE_F1, SDLK_F1, id));
            Push(Key(SDL_KEYUP, SDL_SCANCODE_7, SDLK_7, id));
            Push(Key(SDL_KEYUP, SDL_SCANCODE_KP_0, SDLK_KP_0, id));
            Push(Key(SDL_KEYUP, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, id));
            // Keys without a code, and another window's key, say nothing.
            Push(Key(SDL_KEYUP, SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, id));
            Push(Key(SDL_KEYUP, static_cast<SDL_Scancode>(SDL_NUM_SCANCODES + 5), 0x40001000, id));
            Push(Key(SDL_KEYUP, SDL_SCANCODE_B, SDLK_b, id + 1000));
        });

    std::vector<Record> expected;
    for (int code : {37, 97, 233, 8, 13})
        expected.emplace_back(CInputMap::Press, code, code, 0, 0);
    for (int code : {65, 37, 112, 55, 96, 16})
        expected.emplace_back(CInputMap::Release, code, code, 0, 0);
    EXPECT_EQ(recorder.input, expected);
}

TEST_F(PlatformSDLTest, MouseEventsBecomeMouseRecords)
{
    RunWith(
        [](Uint32 id)
        {
            SDL_Event motion{};
            motion.type = SDL_MOUSEMOTION;
            motion.motion.windowID = id;
            motion.motion.x = -5; // sent on as a signed 16-bit half
            motion.motion.y = 20;
            Push(motion);
            // The platform's double click: down, up, down with two clicks, up.
            Push(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, id));
            Push(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, id));
            Push(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 2, id));
            Push(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 3, id));
            Push(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, id));
            Push(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 1, id));
            Push(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, id));
            Push(Wheel(-1, SDL_MOUSEWHEEL_NORMAL, id));
            Push(Wheel(2, SDL_MOUSEWHEEL_NORMAL, id));
            Push(Wheel(1, SDL_MOUSEWHEEL_FLIPPED, id));
            Push(Wheel(0, SDL_MOUSEWHEEL_NORMAL, id));
        });

    EXPECT_EQ(recorder.input, (std::vector<Record>{
                                  {CInputMap::Move, 146, 0, -5, 20},
                                  {CInputMap::Press, 0, 0, -5, 20},
                                  {CInputMap::Release, 0, 0, -5, 20},
                                  {CInputMap::DoubleClick, 0, 0, -5, 20},
                                  {CInputMap::Press, 0, 0, -5, 20},
                                  {CInputMap::Press, 1, 0, -5, 20},
                                  {CInputMap::Release, 2, 0, -5, 20},
                                  {CInputMap::Wheel, 146, -120, 0, 0},
                                  {CInputMap::Wheel, 146, 240, 0, 0},
                                  {CInputMap::Wheel, 146, -120, 0, 0},
                              }));
    EXPECT_EQ(GetMousePosition(), CVector(-5, 20));
}

TEST_F(PlatformSDLTest, EditingKeysAlsoComeAsCharacters)
{
    RunWith(
        [](Uint32 id)
        {
            Push(Key(SDL_KEYDOWN, SDL_SCANCODE_TAB, SDLK_TAB, id));
            Push(Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, id));
            Push(Key(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, id));
            // Typed control characters are not passed on; a window of 0 is ours.
            SDL_Event text{};
            text.type = SDL_TEXTINPUT;
            SDL_strlcpy(text.text.text, "\x1F ~\xC3\xBF\xC4\x80", sizeof(text.text.text));
            Push(text);
            Push(Key(SDL_KEYUP, SDL_SCANCODE_HOME, SDLK_HOME, 0));
        });

    std::vector<Record> expected;
    for (int code : {9, 27, 13, 32, 126, 255})
        expected.emplace_back(CInputMap::Press, code, code, 0, 0);
    expected.emplace_back(CInputMap::Release, 36, 36, 0, 0);
    EXPECT_EQ(recorder.input, expected);
}

TEST_F(PlatformSDLTest, WheelDeltasStopAtTheSixteenBitLimit)
{
    RunWith(
        [](Uint32 id)
        {
            Push(Wheel(273, SDL_MOUSEWHEEL_NORMAL, id));
            Push(Wheel(274, SDL_MOUSEWHEEL_NORMAL, id));
            Push(Wheel(5000, SDL_MOUSEWHEEL_FLIPPED, id));
        });

    EXPECT_EQ(recorder.input, (std::vector<Record>{
                                  {CInputMap::Wheel, 146, 32760, 0, 0},
                                  {CInputMap::Wheel, 146, 32760, 0, 0},
                                  {CInputMap::Wheel, 146, -32760, 0, 0},
                              }));
}

TEST_F(PlatformSDLTest, SizeEventsCarryTheWindowsState)
{
    RunWith(
        [this](Uint32)
        {
            PushWindowEvent(sdl, SDL_WINDOWEVENT_MAXIMIZED);
            PushWindowEvent(sdl, SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480);
        });

    using Size = std::tuple<int, int, CDisplay::SizeType>;
    EXPECT_EQ(recorder.sizes,
              (std::vector<Size>{{800, 600, CDisplay::Maximized}, {640, 480, CDisplay::Restored}}));
}

TEST_F(PlatformSDLTest, WindowEventsBecomeWindowSignals)
{
    RunWith(
        [this](Uint32 id)
        {
            PushWindowEvent(sdl, SDL_WINDOWEVENT_FOCUS_GAINED);
            PushWindowEvent(sdl, SDL_WINDOWEVENT_FOCUS_LOST);
            PushWindowEvent(sdl, SDL_WINDOWEVENT_MOVED, -5, 30);
            // Restored in the same pump, so the loop goes on drawing.
            PushWindowEvent(sdl, SDL_WINDOWEVENT_MINIMIZED);
            PushWindowEvent(sdl, SDL_WINDOWEVENT_RESTORED);
            SDL_Event other{};
            other.type = SDL_WINDOWEVENT;
            other.window.windowID = id + 1000;
            other.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
            Push(other);
        });

    EXPECT_EQ(recorder.focus, (std::vector<bool>{true, false}));
    EXPECT_EQ(recorder.moves, (std::vector<std::pair<int, int>>{{-5, 30}}));
    using Size = std::tuple<int, int, CDisplay::SizeType>;
    EXPECT_EQ(recorder.sizes,
              (std::vector<Size>{{0, 0, CDisplay::Minimized}, {800, 600, CDisplay::Restored}}));
    EXPECT_EQ(app.GetShowState(), CApp::Shown);
}

TEST_F(PlatformSDLTest, ResizeMoveAndTitleReachTheWindow)
{
    bool resized = false;
    app.step = [&](int frame)
    {
        if (frame == 0)
        {
            app.SetTitle("Vemmo - test");
            app.SetDisplayMode(640, 480, false);
            app.CenterWindow(true, true);
        }
        for (const auto& size : recorder.sizes)
            resized = resized || size == std::make_tuple(640, 480, CDisplay::Restored);
        return resized;
    };
    app.MainLoop();
    ASSERT_FALSE(app.timedOut);

    EXPECT_EQ(app.GetWidth(), 640);
    EXPECT_EQ(app.GetClientWidth(), 640);
    EXPECT_EQ(app.GetClientHeight(), 480);
    // The virtual screen is 1024 x 768.
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(WindowOf(sdl), &x, &y);
    EXPECT_EQ(x, 512 - 320);
    EXPECT_EQ(y, 384 - 240);
    EXPECT_STREQ(SDL_GetWindowTitle(WindowOf(sdl)), "Vemmo - test");
}

TEST_F(PlatformSDLTest, CloseHidesTheWindowAndQuitIsNotDispatched)
{
    app.step = [](int frame) { return frame == 2; };
    app.MainLoop();
    ASSERT_FALSE(app.timedOut);
    EXPECT_EQ(app.frames, 4); // the closing iteration's frame ran
    EXPECT_EQ(recorder.messages.back(), CPlatform::MsgClose);
    EXPECT_TRUE(SDL_GetWindowFlags(WindowOf(sdl)) & SDL_WINDOW_HIDDEN);

    recorder.messages.clear();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);
    app.closing = true; // no close of its own: the quit ends this loop
    app.MainLoop();
    EXPECT_FALSE(app.IsRunning());
    for (unsigned id : recorder.messages)
        EXPECT_NE(id, CPlatform::MsgQuit);
}

TEST_F(PlatformSDLTest, FullscreenSwitchesToExistingModesOnly)
{
    app.SetDisplayMode(777, 555, true);
    EXPECT_FALSE(app.IsDisplayChanged());
    EXPECT_EQ(sdl.boxes.size(), 1u);
    EXPECT_TRUE(SDL_GetWindowFlags(WindowOf(sdl)) & SDL_WINDOW_ALWAYS_ON_TOP);

    // The virtual screen's own mode exists.
    app.SetDisplayMode(1024, 768, true);
    EXPECT_TRUE(app.IsDisplayChanged());
    EXPECT_TRUE(SDL_GetWindowFlags(WindowOf(sdl)) & SDL_WINDOW_FULLSCREEN);

    app.SetDisplayMode(800, 600, false);
    EXPECT_FALSE(app.IsDisplayChanged());
    EXPECT_FALSE(SDL_GetWindowFlags(WindowOf(sdl)) &
                 (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_ALWAYS_ON_TOP));
    EXPECT_EQ(sdl.boxes.size(), 1u);
}

TEST_F(PlatformSDLTest, CursorPositionIsOnTheScreen)
{
    SDL_WarpMouseGlobal(100, 200);
    EXPECT_EQ(GetCursorScreenPosition(), CVector(100, 200));
}
