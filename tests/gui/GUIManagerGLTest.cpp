// The manager fed by real SDL events pushed into the window's queue and
// taken by the shell's main loop: overlapping check boxes (a click shows as
// a toggle), a release off the pressed one, a thumb dragged past both ends.
#include "gui/GUIManager.h"

#include <memory>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "gui/CheckBox.h"
#include "gui/GUIGLSupport.h"
#include "gui/Scroll.h"

namespace
{

class GUIManagerGLTest : public GUIEventTest
{
protected:
    template <class Control>
    Control* Add(float x, float y, float w, float h)
    {
        auto* control = static_cast<Control*>(manager.Append(std::make_unique<Control>()));
        control->SetPosition(x, y);
        control->SetSize(w, h);
        control->GetMaterial().SetAmbient(CVector(0, 0, 0, 1));
        return control;
    }

    CGUIManager manager;
};

} // namespace

TEST_F(GUIManagerGLTest, EarlierControlWinsTheOverlapAndOnlyAReleaseInsideClicks)
{
    auto* first = Add<CCheckBox>(100, 100, 100, 100);
    auto* second = Add<CCheckBox>(150, 150, 100, 100);
    first->GetMaterial().SetEmission(CVector(1, 0, 0, 0));
    second->GetMaterial().SetEmission(CVector(0, 0, 1, 0));
    Run(
        [&]
        {
            Press(175, 175);
            Release(175, 175);
            Press(120, 120);
            Release(400, 400);
        });
    EXPECT_TRUE(first->IsChecked());
    EXPECT_FALSE(second->IsChecked());
    EXPECT_EQ(manager.GetActive(), first);

    // At the same depth the one drawn last covers the overlap.
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    manager.Draw();
    ExpectPixel(175, 175, kRed);
    ExpectPixel(225, 225, kBlue);
}

TEST_F(GUIManagerGLTest, ThumbDraggedPastTheEndsStopsAtThem)
{
    struct Recorder
    {
        void OnChanged(float value) { values.push_back(value); }
        std::vector<float> values;
        Connections slots;
    } record;
    auto* scroll = Add<CScroll>(500, 100, 20, 200);
    scroll->SetMaximum(10);
    ConnectSlot(record.slots, scroll->ValueChanged, &record, &Recorder::OnChanged);
    Run(
        [&]
        {
            Press(510, 130); // the thumb, at y 120..140
            Push(SDL_MOUSEMOTION, 510, 590);
            Push(SDL_MOUSEMOTION, 510, 5);
            Release(510, 200);
        });
    EXPECT_EQ(record.values, (std::vector<float>{10, 0, 5}));
    EXPECT_EQ(scroll->Thumb().GetPosition().y, 90);
    EXPECT_FALSE(scroll->Thumb().IsDragging());
}
