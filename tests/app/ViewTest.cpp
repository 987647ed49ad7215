// The interactive view's handlers without a window: the key and mouse
// tables, the info text, zoom steps that would leave a usable scale, and a
// minimised window. Drawing, the shader and screenshots of real renders are
// in ViewGLTest.
#include <cfloat>
#include <cstdint>
#include <memory>

#include <gtest/gtest.h>

#include "Application.h"
#include "gui/Combo.h"
#include "gui/Font.h"
#include "gui/GUITestSupport.h"
#include "shell/InputMap.h"

namespace
{

class ViewApp : public Application
{
public:
    int StartUp(int, char**) override { return 0; }
};

CInputMap Input(unsigned action, unsigned code, int key = 0, float x = 0.0f, float y = 0.0f)
{
    CInputMap input;
    input.Action = action;
    input.Code = code;
    input.Key = key;
    input.Position.Set(x, y);
    return input;
}

class ViewTest : public ::testing::Test
{
protected:
    ViewTest()
    {
        auto info = std::make_unique<CFont>();
        info->SetName("fntMandelbrot");
        auto debug = std::make_unique<CFont>();
        debug->SetName("fntDebug");
        app.GetGUI().Append(std::move(info));
        app.GetGUI().Append(std::move(debug));
        app.FindControls();
        app.UpdateSize(800, 600, CDisplay::Restored);
        SetView(-0.5, 0.25, 0.5);
    }

    // Steps of a 256 x 256 render: 3 / 256 and 2 / 256.
    void SetView(double re, double im, double scale)
    {
        CMandelbrot& fractal = app.GetMandelbrot();
        fractal.SetCentre(re, im);
        fractal.SetScale(scale);
        fractal.ResetJob(256, 256);
        app.RenderDelay.SetActive(false);
        Info().SetText("stale");
    }

    void Key(unsigned action, int key)
    {
        CInputMap input = Input(action, static_cast<unsigned>(key), key);
        app.OnKey(input);
    }
    void Mouse(unsigned action, unsigned button, float x, float y)
    {
        CInputMap input = Input(action, button, 0, x, y);
        app.OnMouse(input);
    }

    CFont& Info() { return *static_cast<CFont*>(app.GetGUI().FindByName("fntMandelbrot")); }
    CFont& Debug() { return *static_cast<CFont*>(app.GetGUI().FindByName("fntDebug")); }
    double Re() { return app.GetMandelbrot().GetCentreRe(); }
    double Im() { return app.GetMandelbrot().GetCentreIm(); }
    double Scale() { return app.GetMandelbrot().GetScale(); }

    ViewApp app;
};

} // namespace

TEST_F(ViewTest, KeysPanAndZoomByTheirTable)
{
    const double step = 0.5 * (3.0 / 256);
    const double stepIm = 0.5 * (2.0 / 256);
    struct Case
    {
        int key;
        double re;
        double im;
        double scale;
        bool arms;
    };
    const Case cases[] = {
        {37, -0.5 - step * 10, 0.25, 0.5, true},   {65361, -0.5 - step * 10, 0.25, 0.5, true},
        {38, -0.5, 0.25 + stepIm * 10, 0.5, true}, {65362, -0.5, 0.25 + stepIm * 10, 0.5, true},
        {39, -0.5 + step * 10, 0.25, 0.5, true},   {65363, -0.5 + step * 10, 0.25, 0.5, true},
        {40, -0.5, 0.25 - stepIm * 10, 0.5, true}, {65364, -0.5, 0.25 - stepIm * 10, 0.5, true},
        {97, -0.5, 0.25, 1.0, true},               {115, -0.5, 0.25, 0.625, true},
        {120, -0.5, 0.25, 0.375, true},            {122, -0.5, 0.25, 0.25, true},
        // Upper-case A and an unknown key change nothing but the text.
        {65, -0.5, 0.25, 0.5, false},              {1234, -0.5, 0.25, 0.5, false},
        {100, -0.5, 0.25, 0.5, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.key);
        SetView(-0.5, 0.25, 0.5);
        Key(CInputMap::Release, c.key);
        EXPECT_EQ(Info().Text(), String("stale")) << "a release does nothing";
        EXPECT_FALSE(app.RenderDelay.IsActive());

        Key(CInputMap::Press, c.key);
        EXPECT_EQ(Re(), c.re);
        EXPECT_EQ(Im(), c.im);
        EXPECT_EQ(Scale(), c.scale);
        EXPECT_EQ(app.RenderDelay.IsActive(), c.arms);
        EXPECT_EQ(Info().Text(), app.InfoText());
    }
}

TEST_F(ViewTest, TheRightArrowMovesTenOutputPixelsAndTheTextHas32Decimals)
{
    SetView(-0.5, 0.0, 1.0);
    Key(CInputMap::Press, 39);
    EXPECT_EQ(Re(), -0.5 + 0.1171875);
    EXPECT_EQ(Info().Text(), String("Real: -0.38281250000000000000000000000000\n"
                                    "Imaginary: 0.00000000000000000000000000000000\n"
                                    "Scale: 1.00000000000000000000000000000000"));
}

TEST_F(ViewTest, DTogglesBothTexts)
{
    for (bool visible : {false, true})
    {
        Key(CInputMap::Press, 100);
        EXPECT_EQ(Info().IsVisible(), visible);
        EXPECT_EQ(Debug().IsVisible(), visible);
    }
}

TEST_F(ViewTest, ButtonsRecentreAndZoomByTheirTable)
{
    struct Case
    {
        unsigned action;
        unsigned button;
        float x;
        float y;
        double re;
        double im;
        double scale;
        bool arms;
    };
    const Case cases[] = {
        {CInputMap::Press, 0, 400, 300, -0.5, 0.25, 0.25, true},
        {CInputMap::Press, 1, 400, 300, -0.5, 0.25, 1.0, true},
        {CInputMap::Press, 2, 400, 300, -0.5, 0.25, 0.5, true},
        // A quarter of the window right and up: 3 / 4 and 2 / 4 of the scale.
        {CInputMap::Press, 2, 600, 150, -0.5 + 0.5 * 0.25 * 3.0, 0.25 + 0.5 * 0.25 * 2.0, 0.5, true},
        {CInputMap::Press, 0, 0, 600, -0.5 + 0.5 * -0.5 * 3.0, 0.25 + 0.5 * -0.5 * 2.0, 0.25, true},
        {CInputMap::Press, 3, 600, 150, -0.5, 0.25, 0.5, false},
        {CInputMap::Release, 0, 600, 150, -0.5, 0.25, 0.5, false},
        {CInputMap::DoubleClick, 0, 600, 150, -0.5, 0.25, 0.5, false},
        {CInputMap::Move, CInputMap::PointerCode, 600, 150, -0.5, 0.25, 0.5, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.action << " " << c.button << " at " << c.x << ","
                                        << c.y);
        SetView(-0.5, 0.25, 0.5);
        Mouse(c.action, c.button, c.x, c.y);
        EXPECT_EQ(Re(), c.re);
        EXPECT_EQ(Im(), c.im);
        EXPECT_EQ(Scale(), c.scale);
        EXPECT_EQ(app.RenderDelay.IsActive(), c.arms);
        const bool refreshed = c.action == CInputMap::Press;
        EXPECT_EQ(Info().Text() == app.InfoText(), refreshed);
    }
}

TEST_F(ViewTest, ClicksOverAControlBelongToThePanel)
{
    auto control = std::make_unique<CGUI>();
    control->SetPosition(10, 10);
    control->SetSize(100, 50);
    control->SetEnabled(true);
    app.GetGUI().Append(std::move(control));
    Mouse(CInputMap::Press, 0, 50, 30);
    EXPECT_EQ(Scale(), 0.5);
    EXPECT_EQ(Re(), -0.5);
    EXPECT_FALSE(app.RenderDelay.IsActive());
    EXPECT_EQ(Info().Text(), String("stale"));
    Mouse(CInputMap::Press, 0, 200, 30);
    EXPECT_EQ(Scale(), 0.25) << "beside the control the view takes it";
}

TEST_F(ViewTest, ZoomStepsThatWouldLeaveNoUsableScaleAreRefused)
{
    // z, x and a left click from the smallest normal scale would go
    // subnormal; a, s and a right click from the largest would overflow; a
    // pan from the largest centre would take it off to infinity.
    struct Case
    {
        double re;
        double scale;
        bool click; // a button at the window's centre, else a key
        int code;
    };
    const Case cases[] = {
        {-0.5, DBL_MIN, false, 122}, {-0.5, DBL_MIN, false, 120}, {-0.5, DBL_MIN, true, 0},
        {-0.5, DBL_MAX, false, 97},  {-0.5, DBL_MAX, false, 115}, {-0.5, DBL_MAX, true, 1},
        {DBL_MAX, DBL_MAX, false, 39},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << (c.click ? "button " : "key ") << c.code << " at "
                                        << c.re << ", scale " << c.scale);
        SetView(c.re, 0.25, c.scale);
        if (c.click)
            Mouse(CInputMap::Press, static_cast<unsigned>(c.code), 400, 300);
        else
            Key(CInputMap::Press, c.code);
        EXPECT_EQ(Re(), c.re);
        EXPECT_EQ(Im(), 0.25);
        EXPECT_EQ(Scale(), c.scale);
    }

    // The view stays usable: zooming back in still works.
    SetView(-0.5, 0.25, DBL_MIN);
    Key(CInputMap::Press, 97);
    EXPECT_EQ(Scale(), DBL_MIN * 2);
}

TEST_F(ViewTest, AMinimisedWindowChangesNoView)
{
    const CMatrix camera = app.Camera;
    const CVector size = app.GetWindowSize();
    app.UpdateSize(0, 0, CDisplay::Minimized);
    app.OnResize(0, 0, CDisplay::Minimized);
    app.OnResize(800, 0, CDisplay::Restored);
    app.OnResize(0, 600, CDisplay::Restored);
    EXPECT_EQ(app.GetWindowSize().x, size.x);
    EXPECT_EQ(app.GetWindowSize().y, size.y);
    for (unsigned i = 0; i < 16; ++i)
        EXPECT_EQ(app.Camera.Get(i), camera.Get(i)) << i;

    for (unsigned button : {0u, 1u, 2u})
    {
        Mouse(CInputMap::Press, button, 10, 10);
        EXPECT_EQ(Re(), -0.5);
        EXPECT_EQ(Im(), 0.25);
        EXPECT_EQ(Scale(), 0.5);
    }
}

TEST_F(ViewTest, CharactersTypedIntoAnEditBoxAreNotViewKeys)
{
    CCombo& combo = static_cast<CCombo&>(*app.GetGUI().Append(std::make_unique<CCombo>()));
    LoadXML(combo, R"(<gui><combo x="600" y="100" w="120" h="80">
        <edit w="100" h="20"/><button w="20" h="20"/></combo></gui>)");
    ClickAt(610, 110); // the combo's edit box: the panel's, not the view's
    ASSERT_TRUE(combo.Edit().IsFocused());

    // x zooms, a and s zoom, d hides the texts, p writes a screenshot.
    Type("800x600 asdp%");
    EXPECT_STREQ(combo.Edit().Text().GetText(), "800x600 asdp%");
    EXPECT_EQ(Scale(), 0.5);
    EXPECT_EQ(Re(), -0.5);
    EXPECT_TRUE(Debug().IsVisible());
    EXPECT_EQ(Info().Text(), String("stale"));
    EXPECT_FALSE(app.RenderDelay.IsActive());

    // The arrows type nothing, so they still pan.
    EmitKeyEvent(CInputMap::Press, CInputMap::KeyArrowRight);
    EXPECT_GT(Re(), -0.5);
    EXPECT_STREQ(combo.Edit().Text().GetText(), "800x600 asdp%");

    // A click on the view takes the focus away: the keys are the view's again.
    ClickAt(300, 300);
    ASSERT_FALSE(combo.Edit().IsFocused());
    const double scale = Scale();
    Type("x");
    EXPECT_EQ(Scale(), scale * 0.75);
}
