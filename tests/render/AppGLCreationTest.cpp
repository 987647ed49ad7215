// CAppGL's creation sequence, frame and teardown against a scripted platform.
// No context is ever current here, so the GL state calls go nowhere.

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "render/AppGL.h"
#include "shell/FakePlatform.h"

namespace
{

using Calls = std::vector<std::string>;

class TestApp : public CAppGL
{
public:
    explicit TestApp(FakePlatform& platform) : m_fake(platform) {}
    int StartUp(int, char**) override { return 0; }
    void DrawFrame() override { m_fake.now += 10; }

private:
    FakePlatform& m_fake;
};

} // namespace

TEST(AppGL, CreatesOneWindowThenAContextInTheAskedFormat)
{
    ScopedFakePlatform scope;
    FakePlatform& fake = scope.fake;
    {
        TestApp app(fake);
        ASSERT_TRUE(app.CreateGLWindow(640, 480, false, false, false, 32, 16, 0, 4));
        EXPECT_EQ(fake.calls, (Calls{"RegisterWindowClass", "CreateWindow 640x480 popup",
                                     "SetWindowSize 640x480", "SetPixelFormat", "CreateContext"}));
        EXPECT_EQ(fake.format.depthBits, 16);
        EXPECT_EQ(fake.format.stencilBits, 0);
        EXPECT_EQ(fake.format.samples, 4); // samples travel with the format
        // InitGLState ran and asked for the extensions' entry points.
        EXPECT_EQ(fake.lookups.front(), "glActiveTextureARB");

        fake.calls.clear();
        app.SetFramePeriod(33);
        app.RunFrame(); // presents before pacing
        EXPECT_EQ(fake.calls, (Calls{"SwapBuffers", "Sleep 23"}));
        fake.calls.clear();
    }
    EXPECT_EQ(fake.calls, (Calls{"DeleteContext", "DestroyWindow", "UnregisterWindowClass"}));
}

TEST(AppGL, FailuresStopTheSetUp)
{
    ScopedFakePlatform scope;
    FakePlatform& fake = scope.fake;
    fake.createOk = false;
    EXPECT_FALSE(TestApp(fake).CreateGLWindow(800, 600, true, true, false, 32, 24, 8, 0));
    EXPECT_EQ(fake.boxes, (FakePlatform::Boxes{{"App Error", "Could not create window"}}));

    // Going on without a context would run every GL call on nothing.
    fake.createOk = true;
    fake.contextOk = false;
    fake.calls.clear();
    fake.boxes.clear();
    EXPECT_FALSE(TestApp(fake).CreateGLWindow(800, 600, true, true, false, 32, 24, 8, 0));
    EXPECT_EQ(fake.boxes, (FakePlatform::Boxes{{"App Error", "Could not create OpenGL context"}}));
    EXPECT_TRUE(fake.lookups.empty());
    EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "DeleteContext"), 0);
}
