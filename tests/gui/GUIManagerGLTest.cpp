// The manager fed by real SDL events pushed into the window's queue and
// taken by the shell's main loop: overlapping buttons, a release outside the
// pressed button, and a scroll thumb dragged past both ends.
#include "gui/GUIManager.h"

#include <functional>
#include <memory>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "gui/Button.h"
#include "gui/GUIGLSupport.h"
#include "gui/Scroll.h"

namespace
{

struct Counter
{
    void OnPressed() { ++pressed; }
    void OnClicked() { ++clicked; }
    int pressed = 0, clicked = 0;
    Connections slots;
};

class GUIManagerGLTest : public GUIWindowTest
{
protected:
    CButton* AddButton(float x, float y, const CVector& colour, Counter& counter)
    {
        auto* button = static_cast<CButton*>(manager.Append(std::make_unique<CButton>()));
        button->SetPosition(x, y);
        button->SetSize(100, 100);
        button->GetMaterial().SetAmbient(CVector(0, 0, 0, 1));
        button->GetMaterial().SetEmission(colour);
        ConnectSlot(counter.slots, button->Pressed, &counter, &Counter::OnPressed);
        ConnectSlot(counter.slots, button->Clicked, &counter, &Counter::OnClicked);
        return button;
    }

    void Move(int x, int y)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = scope.sdl.GetWindowId();
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
    }
    void Button(Uint32 type, int x, int y)
    {
        SDL_Event e{};
        e.type = type;
        e.button.windowID = scope.sdl.GetWindowId();
        e.button.button = SDL_BUTTON_LEFT;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    void Click(int x, int y, int releaseX, int releaseY)
    {
        Move(x, y);
        Button(SDL_MOUSEBUTTONDOWN, x, y);
        Move(releaseX, releaseY);
        Button(SDL_MOUSEBUTTONUP, releaseX, releaseY);
    }

    // Each batch pushes its events in one frame; the next frame's message
    // pump delivers them, and the batch after it sees the result.
    void Run(const std::vector<std::function<void()>>& batches)
    {
        app.step = [&](int frame)
        {
            const size_t batch = static_cast<size_t>(frame);
            if (batch < batches.size())
                batches[batch]();
            return batch >= batches.size();
        };
        app.MainLoop();
        ASSERT_FALSE(app.timedOut);
    }

    CGUIManager manager;
};

} // namespace

TEST_F(GUIManagerGLTest, EarlierButtonWinsTheOverlapAndOnlyAReleaseInsideClicks)
{
    Counter first, second;
    CButton* a = AddButton(100, 100, CVector(1, 0, 0, 0), first);
    AddButton(150, 150, CVector(0, 0, 1, 0), second);
    Run({
        [&] { Click(175, 175, 175, 175); },
        [&] { Click(120, 120, 400, 400); },
    });
    EXPECT_EQ(first.pressed, 2);
    EXPECT_EQ(first.clicked, 1);
    EXPECT_EQ(second.pressed + second.clicked, 0);
    EXPECT_EQ(a->GetState(), CButton::Normal);

    // Same depth: the one drawn last covers the overlap.
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    manager.Draw();
    ExpectPixel(175, 175, kRed);
    ExpectPixel(225, 225, kBlue);
}

TEST_F(GUIManagerGLTest, ThumbDraggedPastTheEndsStopsAtThem)
{
    auto* scroll = static_cast<CScroll*>(manager.Append(std::make_unique<CScroll>()));
    scroll->SetPosition(500, 100);
    scroll->SetSize(20, 200);
    scroll->SetMaximum(10);
    std::vector<float> seen;
    Run({
        [&]
        {
            Move(510, 130); // the thumb, at y 120..140
            Button(SDL_MOUSEBUTTONDOWN, 510, 130);
            Move(510, 590);
        },
        [&]
        {
            seen.push_back(scroll->Value());
            Move(510, 5);
        },
        [&]
        {
            seen.push_back(scroll->Value());
            Button(SDL_MOUSEBUTTONUP, 510, 5);
        },
    });
    EXPECT_EQ(seen, (std::vector<float>{10, 0}));
    EXPECT_EQ(scroll->Thumb().GetPosition().y, 20);
    EXPECT_FALSE(scroll->Thumb().IsDragging());
}
