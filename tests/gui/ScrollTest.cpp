// The scroll bar without a window: value and thumb in both directions, bars
// whose range or length leaves nothing to scroll, and the buttons and wheel
// through the manager (ScrollGLTest clamps values, GUIManagerGLTest drags).
// Parts without a sprite are squares as thick as the bar: a 20 x 200 bar
// has a 140-pixel track starting at 20.
#include "gui/Scroll.h"

#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "core/XML.h"
#include "gui/GUIManager.h"
#include "support/MouseEvents.h"

namespace
{

void Load(CGUI& control, const char* xml)
{
    CXMLDocument document;
    ASSERT_TRUE(document.Parse(xml));
    control.LoadAttributes(*document.GetChild(0));
}

float ThumbY(const CScroll& scroll)
{
    return scroll.Thumb().GetPosition().y;
}

struct Recorder
{
    void OnUp(float v) { ups.push_back(v); }
    void OnDown(float v) { downs.push_back(v); }
    void OnChanged(float v) { changes.push_back(v); }
    std::vector<float> ups, downs, changes;
    Connections slots;
};

} // namespace

TEST(Scroll, ThumbFollowsTheValueAcrossResizesAndOrientations)
{
    CScroll scroll;
    Load(scroll, R"(<gui><scroll w="20" h="200" max="10"/></gui>)");
    scroll.SetValue(NAN);
    EXPECT_EQ(scroll.Value(), 0);
    // Resizing re-places the parts and keeps the value.
    scroll.SetValue(5);
    scroll.SetSize(20, 300);
    EXPECT_EQ(scroll.Value(), 5);
    EXPECT_EQ(scroll.Increment().GetPosition().y, 280);
    EXPECT_EQ(ThumbY(scroll), 140);

    CScroll horizontal;
    Load(horizontal, R"(<gui><scroll w="200" h="10" vertical="0" min="-4" max="4"/></gui>)");
    horizontal.SetValue(4);
    EXPECT_EQ(horizontal.Thumb().GetPosition(), CVector(180, 0, 0));
    EXPECT_EQ(horizontal.Increment().GetPosition(), CVector(190, 0, 0));
}

TEST(Scroll, NoRangeOrNoTrackNeverDividesByZero)
{
    // An empty range, a reversed one, and a bar its parts overfill.
    const char* bars[] = {
        R"(<gui><scroll w="20" h="200" min="3" max="3"/></gui>)",
        R"(<gui><scroll w="20" h="200" min="5" max="2"/></gui>)",
        R"(<gui><scroll w="20" h="30" min="0" max="10"/></gui>)",
    };
    for (const char* xml : bars)
    {
        CScroll scroll;
        Load(scroll, xml);
        scroll.SetValue(1e9f);
        EXPECT_EQ(ThumbY(scroll), 20) << xml;
        scroll.Thumb().SetPosition(0, 25); // as a drag step does: the minimum
        EXPECT_EQ(scroll.Value(), scroll.GetMinimum()) << xml;
        EXPECT_EQ(ThumbY(scroll), 20) << xml;
    }
}

TEST(Scroll, ButtonsAndWheelStepThroughTheManager)
{
    CGUIManager manager;
    auto* scroll = static_cast<CScroll*>(manager.Append(std::make_unique<CScroll>()));
    Load(*scroll, R"(<gui><scroll x="100" y="100" w="20" h="200" max="10"/></gui>)");
    Recorder record;
    ConnectSlot(record.slots, scroll->SteppedUp, &record, &Recorder::OnUp);
    ConnectSlot(record.slots, scroll->SteppedDown, &record, &Recorder::OnDown);
    ConnectSlot(record.slots, scroll->ValueChanged, &record, &Recorder::OnChanged);
    const float clicks[][3] = {
        {110, 290, 110}, // increment
        {110, 290, 200}, // released off the button: no step
        {110, 110, 110}, // decrement
        {110, 110, 110}, // at the minimum already
    };
    for (const auto& click : clicks)
    {
        EmitMouse(CInputMap::Press, click[0], click[1]);
        EmitMouse(CInputMap::Release, click[2], click[1]);
    }
    EmitMouse(CInputMap::Wheel, 0, 0, -120); // toward the user: up
    EXPECT_EQ(record.ups, (std::vector<float>{1, 1}));
    EXPECT_EQ(record.downs, (std::vector<float>{0, 0}));
    EXPECT_EQ(record.changes, (std::vector<float>{1, 0, 0, 1}));
}
