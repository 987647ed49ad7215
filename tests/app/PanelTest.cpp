// The control panel without a window: controls found only when they are of
// their name's kind, the combo boxes filled (gradients in byte order), the
// location, resolution and iteration handlers with the limits they refuse,
// a start-up without a window, and where the explorer finds its data.
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Application.h"
#include "DataFolder.h"
#include "gui/CheckBox.h"
#include "gui/Combo.h"
#include "gui/Edit.h"
#include "gui/Font.h"
#include "gui/Progress.h"
#include "gui/Scroll.h"
#include "support/ScratchDir.h"

namespace
{

namespace fs = std::filesystem;

class PanelApp : public Application
{
public:
    int StartUp(int, char**) override { return 0; }

    // Workers are counted, never run: the handlers are what is tested.
    unsigned launches = 0;

protected:
    bool StartWorker(CFractalThread&) override
    {
        ++launches;
        return true;
    }
};

class NoWindowApp : public Application
{
public:
    bool CreateGLWindow(int, int, bool, bool, bool, int, int, int, int) override { return false; }
};

template <class Control>
Control& Add(Application& app, const char* name)
{
    auto control = std::make_unique<Control>();
    control->SetName(name);
    return static_cast<Control&>(*app.GetGUI().Append(std::move(control)));
}

// A combo whose list has the column its items go into.
CCombo& AddCombo(Application& app, const char* name, const std::vector<const char*>& items = {})
{
    CCombo& combo = Add<CCombo>(app, name);
    combo.List().AddColumn(0, 100.0f, "name");
    for (unsigned i = 0; i < items.size(); ++i)
        combo.AddItem(i, items[i]);
    return combo;
}

std::vector<std::string> Items(CCombo& combo)
{
    std::vector<std::string> items;
    for (int row = 0; row < static_cast<int>(combo.List().RowCount()); ++row)
        items.push_back(combo.List().ItemText(row, 0).GetText());
    return items;
}

class PanelTest : public ::testing::Test
{
protected:
    PanelTest()
    {
        app.GetMandelbrot().ResetJob(4, 4);
        Application::ImageWidth = 256;
        Application::ImageHeight = 256;
        app.FullImage.Create(256, 256, 3, 24);
    }
    ~PanelTest() override
    {
        app.StopWorkers();
        Application::ImageWidth = 256;
        Application::ImageHeight = 256;
    }

    unsigned Renders() const { return app.launches / Application::GetWorkerCount(); }

    PanelApp app;
};

} // namespace

TEST_F(PanelTest, AControlOfAnotherKindThanItsNameCountsAsAbsent)
{
    // Every name given the wrong kind: nothing is filled, driven or
    // connected, where a blind cast would write into the wrong object.
    CList& locations = Add<CList>(app, "cboxLocations");
    locations.AddColumn(0, 100.0f, "name");
    CEdit& info = Add<CEdit>(app, "fntMandelbrot");
    CFont& progress = Add<CFont>(app, "progress");
    CButton& shader = Add<CButton>(app, "cboxShader"); // a button, not a check box
    CScroll& downsample = Add<CScroll>(app, "cboxDownsample");
    CProgress& iterations = Add<CProgress>(app, "cboxIterations");
    app.FindControls();
    app.FillPanel();
    app.ConnectPanel();

    EXPECT_EQ(locations.RowCount(), 0u);
    app.StartRender();
    EXPECT_EQ(info.Text(), String());
    EXPECT_EQ(progress.Text(), String());
    shader.Clicked.Emit();
    EXPECT_FALSE(app.IsShaderOn());
    downsample.Clicked.Emit();
    EXPECT_FALSE(app.IsDownsampling());
    String limit("600");
    app.OnLocation(limit, 1, 0);
    EXPECT_EQ(iterations.Percent(), 0.0f);

    // The right kinds under the same names are found.
    PanelApp other;
    CCheckBox& box = Add<CCheckBox>(other, "cboxDownsample");
    CCombo& combo = AddCombo(other, "cboxLocations");
    other.FindControls();
    other.FillPanel();
    other.ConnectPanel();
    EXPECT_EQ(combo.List().RowCount(), other.GetMandelbrot().GetLocations().size());
    box.Clicked.Emit();
    EXPECT_TRUE(other.IsDownsampling());
    other.StopWorkers();
}

TEST_F(PanelTest, GradientsAreListedInByteOrderSoTheDefaultIsItemZero)
{
    ScratchDir scratch("panel");
    const fs::path folder = scratch.Path() / "resources" / "gradients";
    fs::create_directories(folder);
    for (const char* name : {"b.png", "a.png", "!vemmo.png", "B.png", "~last.png"})
        std::ofstream(folder / name) << "x";
    CCombo& gradients = AddCombo(app, "cboxGradients");
    app.FindControls();
    const fs::path root = fs::current_path();
    fs::current_path(scratch.Path());
    app.FillPanel();
    fs::current_path(root);

    EXPECT_EQ(Items(gradients),
              (std::vector<std::string>{"!vemmo.png", "B.png", "a.png", "b.png", "~last.png"}));
    EXPECT_EQ(gradients.Edit().Text(), String("!vemmo.png"));
}

TEST_F(PanelTest, FillingSelectsItemZeroWithoutRunningAHandler)
{
    CCombo& locations = AddCombo(app, "cboxLocations");
    CCombo& resolution = AddCombo(app, "cboxResolution", {"1024x768", "256x256"});
    CCombo& iterations = AddCombo(app, "cboxIterations", {"500", "256"});
    app.FindControls();
    app.FillPanel();
    app.ConnectPanel();

    EXPECT_EQ(Items(locations)[0], std::string(app.GetMandelbrot().GetLocations()[0].name.GetText()));
    EXPECT_EQ(resolution.Edit().Text(), String("1024x768"));
    EXPECT_EQ(iterations.Edit().Text(), String("500"));
    EXPECT_EQ(Application::ImageWidth, 256u);
    EXPECT_EQ(app.GetMandelbrot().GetIterationLimit(),
              uint32_t(app.GetMandelbrot().GetLocations()[0].iterations));
    EXPECT_EQ(Renders(), 0u);

    // Connected now: the same choice runs its handler.
    resolution.SetSelected(0);
    EXPECT_EQ(Application::ImageWidth, 1024u);
    EXPECT_EQ(Renders(), 1u);
}

TEST_F(PanelTest, ALocationRowIsCheckedAtBothEnds)
{
    CMandelbrot& fractal = app.GetMandelbrot();
    const std::vector<CLocation>& locations = fractal.GetLocations();
    ASSERT_GE(locations.size(), 2u);
    String text;
    app.OnLocation(text, 1, 0);
    EXPECT_EQ(fractal.GetCentreRe(), locations[1].real);
    EXPECT_EQ(fractal.GetCentreIm(), locations[1].imaginary);
    EXPECT_EQ(fractal.GetScale(), locations[1].scale);
    EXPECT_EQ(fractal.GetIterationLimit(), uint32_t(locations[1].iterations));
    EXPECT_EQ(Renders(), 1u);

    // Outside the list, at either end: nothing changes, but the render
    // still restarts.
    for (int row : {-1, int(locations.size()), -2147483647 - 1})
    {
        app.OnLocation(text, row, 0);
        EXPECT_EQ(fractal.GetCentreRe(), locations[1].real) << row;
        EXPECT_EQ(fractal.GetIterationLimit(), uint32_t(locations[1].iterations)) << row;
    }
    EXPECT_EQ(Renders(), 4u);
}

TEST_F(PanelTest, ALocationWhoseLimitIsAnItemRendersTwiceElseOnce)
{
    const std::vector<CLocation>& locations = app.GetMandelbrot().GetLocations();
    CCombo& iterations = AddCombo(app, "cboxIterations", {"256", "600"});
    app.FindControls();
    app.ConnectPanel();
    ASSERT_EQ(locations[1].iterations, 600);
    String text;
    app.OnLocation(text, 1, 0);
    EXPECT_EQ(iterations.Edit().Text(), String("600"));
    EXPECT_EQ(Renders(), 2u);

    ASSERT_EQ(locations[2].iterations, 800);
    app.OnLocation(text, 2, 0);
    EXPECT_EQ(iterations.Edit().Text(), String("600")) << "800 is no item";
    EXPECT_EQ(app.GetMandelbrot().GetIterationLimit(), 800u);
    EXPECT_EQ(Renders(), 3u);
}

TEST(PanelLocationTest, ALocationWithANegativeLimitKeepsTheLimit)
{
    ScratchDir scratch("panel");
    fs::create_directories(scratch.Path() / "resources");
    std::ofstream(scratch.Path() / "resources" / "locations.xml")
        << R"(<l><location name="bad" real="0.25" imaginary="0.5" scale="0.125" iterations="-7"/></l>)";
    const fs::path root = fs::current_path();
    fs::current_path(scratch.Path());
    PanelApp app;
    fs::current_path(root);
    CMandelbrot& fractal = app.GetMandelbrot();
    ASSERT_EQ(fractal.GetLocations().size(), 1u);
    fractal.SetIterationLimit(300);
    String text;
    app.OnLocation(text, 0, 0);
    EXPECT_EQ(fractal.GetIterationLimit(), 300u);
    EXPECT_EQ(fractal.GetCentreRe(), 0.25);
    EXPECT_EQ(fractal.GetScale(), 0.125);
    app.StopWorkers();
}

TEST_F(PanelTest, ResolutionTexts)
{
    // text                 width height  render started
    struct Case
    {
        const char* text;
        uint32_t width;
        uint32_t height;
        bool renders;
    };
    const Case cases[] = {
        {"1024x768", 1024, 768, true},
        {"2048x1536", 2048, 1536, true},
        {"no digits", 0, 0, true}, // an empty image, done at once
        {"640x480", 640, 480, true},
        {"-5x100", 640, 480, false},
        {"100x-1", 640, 480, false},
        {"4097x64", 640, 480, false},
        {"64x99999999999999999999", 640, 480, false},
        {"4096x16", 4096, 16, true},
    };
    for (const Case& c : cases)
    {
        const unsigned before = Renders();
        String text(c.text);
        app.OnResolution(text, 0, 0);
        EXPECT_EQ(Application::ImageWidth, c.width) << c.text;
        EXPECT_EQ(Application::ImageHeight, c.height) << c.text;
        EXPECT_EQ(app.FullImage.GetWidth(), c.width) << c.text;
        EXPECT_EQ(app.FullImage.GetHeight(), c.height) << c.text;
        EXPECT_EQ(Renders() - before, c.renders ? 1u : 0u) << c.text;
    }
}

TEST_F(PanelTest, IterationTexts)
{
    struct Case
    {
        const char* text;
        uint32_t limit;
        bool renders;
    };
    const Case cases[] = {
        {"500", 500, true},
        {"abc", 0, true}, // every point takes palette entry 0
        {"10000", 10000, true},
        {"-1", 10000, false},
        {"99999999999", 10000, false},
    };
    for (const Case& c : cases)
    {
        const unsigned before = Renders();
        String text(c.text);
        app.OnIterations(text, 0, 0);
        EXPECT_EQ(app.GetMandelbrot().GetIterationLimit(), c.limit) << c.text;
        EXPECT_EQ(Renders() - before, c.renders ? 1u : 0u) << c.text;
    }
}

TEST(StartUpTest, NoWindowMeansAFailureStatus)
{
    NoWindowApp app;
    EXPECT_NE(app.StartUp(0, nullptr), 0);
}

TEST(DataFolderTest, TheLaunchFolderFirstThenTheInstalledData)
{
    ScratchDir scratch("data");
    const fs::path launch = scratch.Path() / "home";
    const fs::path bin = scratch.Path() / "usr" / "bin";
    const fs::path data = scratch.Path() / "usr" / "share" / "vemmo";
    fs::create_directories(launch);
    fs::create_directories(bin);
    const std::string program = (bin / "vemmo").string();

    // Nowhere to find data: stay.
    EXPECT_EQ(FindDataFolder(launch.string(), program, "../share/vemmo"), launch.string());
    fs::create_directories(data / "resources");
    EXPECT_EQ(FindDataFolder(launch.string(), program, "../share/vemmo"), data.string());
    EXPECT_EQ(FindDataFolder(launch.string(), "", "../share/vemmo"), launch.string());
    // Resources where it was started win: a checkout run from its root.
    fs::create_directories(launch / "resources");
    EXPECT_EQ(FindDataFolder(launch.string(), program, "../share/vemmo"), launch.string());
}
