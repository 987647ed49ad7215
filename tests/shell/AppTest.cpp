// The shell's logic against a scripted platform: frame pacing, the main loop,
// the window procedure's signals, window creation and the display mode.

#include "shell/App.h"

#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/Timer.h"
#include "shell/FakePlatform.h"
#include "shell/InputMap.h"

namespace
{

using Calls = std::vector<std::string>;
using Sleeps = std::vector<uint32_t>;

class TestApp : public CApp
{
public:
    explicit TestApp(FakePlatform& platform) : m_fake(platform) {}

    int StartUp(int hasArguments, char** commandLine) override
    {
        arguments = hasArguments;
        this->commandLine = commandLine;
        return 7;
    }
    void DrawFrame() override
    {
        ++frames;
        m_fake.now += drawTime;
    }

    uint32_t drawTime = 0;
    int frames = 0;
    int arguments = -1;
    char** commandLine = nullptr;

private:
    FakePlatform& m_fake;
};

// Records the shell's signals.
struct SignalLog
{
    explicit SignalLog(CApp& app)
    {
        ConnectSlot(connections, app.WindowMessage, this, &SignalLog::OnMessage);
        ConnectSlot(connections, app.WindowMoved, this, &SignalLog::OnMoved);
        ConnectSlot(connections, app.WindowResized, this, &SignalLog::OnResized);
        ConnectSlot(connections, app.WindowFocusChanged, this, &SignalLog::OnFocus);
    }
    void OnMessage(unsigned id, int, int) { messages.push_back(id); }
    void OnMoved(int x, int y) { moves.emplace_back(x, y); }
    void OnResized(int w, int h, CDisplay::SizeType kind) { sizes.emplace_back(w, h, kind); }
    void OnFocus(bool gained) { focus.push_back(gained); }
    void OnTick() { fake->now += 100; } // a slow timer

    std::vector<unsigned> messages;
    std::vector<std::pair<int, int>> moves;
    std::vector<std::tuple<int, int, CDisplay::SizeType>> sizes;
    std::vector<bool> focus;
    FakePlatform* fake = nullptr;
    Connections connections;
};

// Records the keyboard and mouse signals as (action, code, key).
struct InputLog
{
    InputLog()
    {
        ConnectSlot(connections, GetKeyboardSignal(), this, &InputLog::OnInput);
        ConnectSlot(connections, GetMouseSignal(), this, &InputLog::OnInput);
    }
    void OnInput(CInputMap& input)
    {
        records.emplace_back(input.Action, input.Code, input.Key);
        characters.push_back(input.Character);
    }

    std::vector<std::tuple<unsigned, unsigned, int>> records;
    std::vector<bool> characters;
    Connections connections;
};

class AppTest : public ::testing::Test
{
protected:
    ScopedFakePlatform scope;
    FakePlatform& fake = scope.fake;
    TestApp app{fake};
    SignalLog log{app};
};

} // namespace

TEST_F(AppTest, FramesSleepOutTheRestOfThePeriod)
{
    // Timers run before the frame's clock starts, so a slow one is not paced.
    log.fake = &fake;
    ConnectSlot(log.connections, FrameTick(), &log, &SignalLog::OnTick);
    app.SetFramePeriod(33);
    for (uint32_t drawTime : {10u, 50u, 33u})
    {
        app.drawTime = drawTime;
        app.RunFrame();
    }
    EXPECT_EQ(fake.sleeps, Sleeps{23});

    // A clock that wraps during the frame paces the same.
    fake.now = 0xFFFFFFFAu;
    app.drawTime = 10;
    app.RunFrame();
    EXPECT_EQ(fake.sleeps, (Sleeps{23, 23}));
}

TEST_F(AppTest, CloseEndsTheLoopAfterTheCurrentFrame)
{
    fake.batches = {{}, {FakePlatform::Make(CPlatform::MsgClose)}, {}};
    app.MainLoop();
    EXPECT_FALSE(app.IsRunning());
    EXPECT_EQ(app.frames, 2);
    EXPECT_EQ(log.messages, std::vector<unsigned>{CPlatform::MsgClose});
    ASSERT_EQ(fake.defaulted.size(), 1u); // the platform still gets it
    EXPECT_FALSE(fake.quitSent);
}

TEST_F(AppTest, QuitEndsTheLoopUndispatched)
{
    fake.batches = {
        {FakePlatform::Make(CPlatform::MsgQuit), FakePlatform::Make(CPlatform::MsgSetFocus)}};
    app.MainLoop();
    EXPECT_EQ(app.frames, 1);
    // The rest of the queue is still pumped; only the quit is kept back.
    EXPECT_EQ(log.messages, std::vector<unsigned>{CPlatform::MsgSetFocus});
    ASSERT_EQ(fake.defaulted.size(), 1u);
    EXPECT_EQ(fake.defaulted[0].id, CPlatform::MsgSetFocus);
}

TEST_F(AppTest, MinimizedWindowSleepsWithoutDrawing)
{
    app.SetFramePeriod(33);
    app.drawTime = 10;
    fake.batches = {{FakePlatform::Make(CPlatform::MsgSize, CDisplay::Minimized, 0)},
                    {},
                    {FakePlatform::Make(CPlatform::MsgSize, CDisplay::Restored,
                                        CPlatform::PackParam(800, 600))}};
    app.MainLoop();
    // Two minimized iterations, one restored, then the closing quit's frame.
    EXPECT_EQ(app.frames, 2);
    EXPECT_EQ(fake.sleeps, (Sleeps{33, 33, 23, 23}));
    EXPECT_EQ(app.GetShowState(), CApp::Shown);
    EXPECT_EQ(app.GetWidth(), 800);
    EXPECT_EQ(app.GetHeight(), 600);
}

TEST_F(AppTest, KeyDownsReachTheInputForTheArrowsOnly)
{
    // Other keys come again as characters, so their key downs say nothing.
    InputLog input;
    for (int key = 35; key <= 42; ++key)
        CApp::WindowProcedure(FakePlatform::Make(CPlatform::MsgKeyDown, key));
    CApp::WindowProcedure(FakePlatform::Make(CPlatform::MsgChar, 'a'));
    CApp::WindowProcedure(FakePlatform::Make(CPlatform::MsgKeyUp, 35));
    CApp::WindowProcedure(FakePlatform::Make(CPlatform::MsgWheel, CPlatform::PackParam(0, -360)));

    using Record = std::tuple<unsigned, unsigned, int>;
    EXPECT_EQ(input.records, (std::vector<Record>{{CInputMap::Press, 37, 37},
                                                  {CInputMap::Press, 38, 38},
                                                  {CInputMap::Press, 39, 39},
                                                  {CInputMap::Press, 40, 40},
                                                  {CInputMap::Press, 97, 97},
                                                  {CInputMap::Release, 35, 35},
                                                  {CInputMap::Wheel, 146, -360}}));
    // Only the character says so: an edit box must not take an arrow for '%'.
    EXPECT_EQ(input.characters,
              (std::vector<bool>{false, false, false, false, true, false, false}));
    EXPECT_EQ(log.messages.size(), 11u); // all of them still reach WindowMessage
}

TEST(AppWithoutApplication, WindowProcedureOnlyDefaults)
{
    ScopedFakePlatform scope;
    ASSERT_EQ(TheApp, nullptr);
    CApp::WindowProcedure(FakePlatform::Make(CPlatform::MsgClose));
    EXPECT_EQ(scope.fake.defaulted.size(), 1u);
}

TEST(AppCreation, FailuresShowTheirMessageAndCleanUp)
{
    ScopedFakePlatform scope;
    FakePlatform& fake = scope.fake;
    {
        fake.registerOk = false;
        TestApp app(fake);
        EXPECT_FALSE(app.CreateAppWindow(800, 600, true, false, false));
        EXPECT_EQ(fake.boxes, (FakePlatform::Boxes{{"App Error", "Could not register window"}}));
    }
    EXPECT_EQ(fake.calls, Calls{"RegisterWindowClass"});
    EXPECT_EQ(TheApp, nullptr);

    fake.calls.clear();
    fake.boxes.clear();
    {
        fake.registerOk = true;
        fake.createOk = false;
        TestApp app(fake);
        EXPECT_FALSE(app.CreateAppWindow(800, 600, false, false, false));
        EXPECT_EQ(fake.boxes, (FakePlatform::Boxes{{"App Error", "Could not create window"}}));
    }
    // Registered, so unregistered; but there is no window to destroy.
    EXPECT_EQ(fake.calls, (Calls{"RegisterWindowClass", "CreateWindow 800x600 popup",
                                 "UnregisterWindowClass"}));

    fake.calls.clear();
    fake.createOk = true;
    {
        TestApp app(fake);
        EXPECT_TRUE(app.CreateAppWindow(640, 480, true, true, false));
        EXPECT_TRUE(app.IsResizable());
    }
    EXPECT_EQ(fake.calls,
              (Calls{"RegisterWindowClass", "CreateWindow 640x480 windowed resizable",
                     "SetWindowSize 640x480", "DestroyWindow", "UnregisterWindowClass"}));
}

TEST_F(AppTest, FullscreenChangesTheDisplayOnce)
{
    fake.displayModeOk = false;
    app.SetDisplayMode(1280, 1024, true);
    EXPECT_FALSE(app.IsDisplayChanged());
    EXPECT_EQ(fake.boxes, (FakePlatform::Boxes{{"Error", "Could not set to fullscreen mode"}}));
    app.SetDisplayMode(800, 600, false); // nothing was changed: nothing to restore

    fake.displayModeOk = true;
    app.SetDisplayMode(1024, 768, true);
    app.SetDisplayMode(800, 600, true);
    EXPECT_TRUE(app.IsDisplayChanged());
    app.SetDisplayMode(800, 600, false);
    app.SetDisplayMode(640, 480, false);
    EXPECT_FALSE(app.IsDisplayChanged());
    EXPECT_EQ(app.GetWidth(), 640);
    EXPECT_EQ(fake.calls,
              (Calls{"SetWindowSize 1280x1024 topmost", "ChangeDisplayMode 1280x1024",
                     "SetWindowSize 800x600", "SetWindowSize 1024x768 topmost",
                     "ChangeDisplayMode 1024x768", "SetWindowSize 800x600 topmost",
                     "SetWindowSize 800x600", "RestoreDisplayMode", "SetWindowSize 640x480"}));
    EXPECT_EQ(fake.boxes.size(), 1u);
}

TEST_F(AppTest, CenterWindowHalvesScreenAndWindow)
{
    app.SetDisplayMode(801, 601, false);
    fake.screenWidth = 1025;
    fake.screenHeight = 769;
    app.CenterWindow(true, true);
    EXPECT_EQ(app.GetX(), 512 - 400);
    EXPECT_EQ(app.GetY(), 384 - 300);

    // Only one axis: the other keeps the stored position.
    fake.screenWidth = 1600;
    fake.screenHeight = 1200;
    app.CenterWindow(true, false);
    EXPECT_EQ(fake.calls.back(), "SetWindowPosition 400,84");
}

TEST(RunApp, HandsTheArgumentsToStartUp)
{
    char program[] = "vemmo";
    char argument[] = "--x";
    char* argv[] = {program, argument, nullptr};
    EXPECT_EQ(RunApp(2, argv), 0); // no application yet

    ScopedFakePlatform scope;
    TestApp app(scope.fake);
    EXPECT_EQ(RunApp(2, argv), 7);
    EXPECT_EQ(app.arguments, 1);
    EXPECT_STREQ(app.commandLine[0], "--x");
    RunApp(1, argv);
    EXPECT_EQ(app.arguments, 0);
}
