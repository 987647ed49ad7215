// A menu under real SDL events: a click on the top menu shows its items
// below it, a click on an item hides them again.
#include "gui/Menu.h"

#include <memory>

#include <gtest/gtest.h>

#include "gui/GUIGLSupport.h"
#include "gui/GUIManager.h"

namespace
{

struct Counter
{
    void OnClicked() { ++clicks; }
    int clicks = 0;
    Connections slots;
};

} // namespace

using MenuGLTest = GUIEventTest;

TEST_F(MenuGLTest, OpensOnAClickAndClosesOnAnItemClick)
{
    CGUIManager manager;
    const Pixel colours[3] = {kBlue, kRed, kGreen};
    CMenu* menus[3];
    for (int i = 0; i < 3; ++i)
    {
        menus[i] = static_cast<CMenu*>(manager.Append(std::make_unique<CMenu>()));
        menus[i]->SetSize(80, 20);
        Paint(*menus[i],
              CVector(colours[i][0] / 255.0f, colours[i][1] / 255.0f, colours[i][2] / 255.0f, 0));
    }
    menus[0]->SetPosition(100, 50);
    menus[0]->AddItem(menus[1]);
    menus[0]->AddItem(menus[2]);
    Counter counter;
    ConnectSlot(counter.slots, menus[2]->Clicked, &counter, &Counter::OnClicked);

    Run([&] { Click(110, 60); });
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    manager.Draw();
    ExpectPixel(110, 60, kBlue);
    ExpectPixel(110, 80, kRed);
    ExpectPixel(110, 100, kGreen);

    Run([&] { Click(110, 100); });
    EXPECT_EQ(counter.clicks, 1);
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    manager.Draw();
    ExpectPixel(110, 60, kBlue);
    ExpectPixel(110, 80, kGrey);
    ExpectPixel(110, 100, kGrey);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
