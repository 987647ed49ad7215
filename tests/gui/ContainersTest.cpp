// Window, frame and control bar without a window: the frame's placement
// table, the window's close button (ContainersGLTest drags it), the control
// bar's buttons and its screen drag (the cursor from the fake platform).
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "gui/ControlBar.h"
#include "gui/Frame.h"
#include "gui/GUIManager.h"
#include "gui/GUITestSupport.h"
#include "gui/Window.h"
#include "shell/FakePlatform.h"
#include "support/MouseEvents.h"

namespace
{

struct Recorder
{
    void OnResized(float, float) { ++resizes; }
    void OnDragged(int dx, int dy) { drags.push_back({dx, dy}); }
    void OnClicked() { ++clicks; }
    int resizes = 0;
    int clicks = 0;
    std::vector<std::vector<int>> drags;
    Connections slots;
};

} // namespace

TEST(Frame, CellsGoWhereThePlacementTablePutsThem)
{
    // Corners 10 x 8, edges 4 thick, border (2, 1); the frame 100 x 50.
    // dx = 8, dy = 7, hx = 4, hy = 3.5. Each cell's own size, then where the
    // layout puts it and how large.
    const struct
    {
        float w, h, x, y, width, height;
    } cells[CFrame::CellCount] = {
        {10, 8, -6, -4.5f, 10, 8},    // top left
        {1, 4, 4, -4.5f, 92, 4},      // top
        {10, 8, 95.5f, -4.5f, 10, 8}, // top right
        {4, 1, -6, 3.5f, 4, 43},      // left
        {4, 1, 101.5f, 3.5f, 4, 43},  // right
        {10, 8, -6, 46, 10, 8},       // bottom left
        {1, 4, 4, 50, 92, 4},         // bottom
        {10, 8, 95.5f, 46, 10, 8},    // bottom right
    };
    CFrame frame;
    LoadXML(frame, R"(<gui><frame x="200" y="100" w="100" h="50" borderX="2" borderY="1"/></gui>)");
    CGUI piece;
    for (unsigned i = 0; i < CFrame::CellCount; ++i)
    {
        piece.SetSize(cells[i].w, cells[i].h);
        frame.SetCell(i, piece);
    }
    frame.SetCell(8, piece);
    frame.SetCell(-1, piece);
    Recorder record;
    ConnectSlot(record.slots, frame.Resized, &record, &Recorder::OnResized);
    frame.Refresh();
    EXPECT_EQ(record.resizes, 1); // the layout does not emit again

    for (unsigned i = 0; i < CFrame::CellCount; ++i)
    {
        SCOPED_TRACE(i);
        const CGUI& cell = *frame.Cell(i);
        EXPECT_EQ(cell.GetPosition().x, cells[i].x);
        EXPECT_EQ(cell.GetPosition().y, cells[i].y);
        EXPECT_EQ(cell.GetSize().x, cells[i].width);
        EXPECT_EQ(cell.GetSize().y, cells[i].height);
        EXPECT_EQ(cell.GetParent(), &frame);
    }
    EXPECT_EQ(frame.Cell(8), nullptr);
    // Not hit: clicks pass through it.
    EXPECT_FALSE(frame.Contains(250, 125));
}

TEST(Window, TheCloseButtonSitsOnTheTitleBarAndClicksOnlyWhenReleasedOnIt)
{
    CGUIManager manager;
    auto* window = static_cast<CWindow*>(manager.Append(std::make_unique<CWindow>()));
    LoadXML(*window, R"(<gui><window x="100" y="100" w="200" h="150" text="Title">
        <gui h="20"/><button w="16" h="16"/></window></gui>)");
    EXPECT_EQ(window->TitleBar().GetSize(), CVector(200, 20, 1));
    EXPECT_EQ(window->CloseButton().GetPosition(), CVector(182, 2, 0));
    Recorder record;
    ConnectSlot(record.slots, window->CloseButton().Clicked, &record, &Recorder::OnClicked);

    // Pressed on the close button and released off it: no click, no drag.
    EmitMouse(CInputMap::Press, 290, 110);
    EmitMouse(CInputMap::Move, 200, 250);
    EmitMouse(CInputMap::Release, 200, 250);
    EXPECT_EQ(window->GetPosition(), CVector(100, 100, 0));
    EXPECT_EQ(record.clicks, 0);
    EmitMouse(CInputMap::Press, 290, 110);
    EmitMouse(CInputMap::Release, 290, 110);
    EXPECT_EQ(record.clicks, 1);
}

TEST(ControlBar, ButtonsSitOnTheBarAndAPressOutsideThemDragsTheScreen)
{
    ScopedFakePlatform platform;
    CGUIManager manager;
    auto* bar = static_cast<CControlBar*>(manager.Append(std::make_unique<CControlBar>()));
    for (unsigned i = 0; i < CControlBar::ButtonCount; ++i)
        bar->Button(i).SetSize(20, 10);
    LoadXML(*bar, R"(<gui><control x="0" y="100" w="300" h="30"/></gui>)");
    // Relative to the bar: its own y is not added again.
    const float xs[3] = {238, 258, 278};
    for (unsigned i = 0; i < CControlBar::ButtonCount; ++i)
    {
        EXPECT_EQ(bar->Button(i).GetPosition(), CVector(xs[i], 10, 0));
        EXPECT_EQ(bar->Button(i).AbsolutePosition().y, 110);
    }
    Recorder record;
    ConnectSlot(record.slots, bar->WindowDragged, &record, &Recorder::OnDragged);
    ConnectSlot(record.slots, bar->Button(2).Clicked, &record, &Recorder::OnClicked);

    // A button held reports nothing; a click on it reaches it.
    EmitMouse(CInputMap::Press, 285, 115);
    platform.fake.cursorX = 40;
    bar->ReportDrag();
    EXPECT_FALSE(bar->IsScreenDragging());
    EmitMouse(CInputMap::Release, 285, 115);
    EXPECT_EQ(record.clicks, 1);

    // Pressed on the bar itself: the movement at each report (once a
    // frame), until released.
    platform.fake.cursorX = 500;
    platform.fake.cursorY = 300;
    EmitMouse(CInputMap::Press, 50, 115);
    platform.fake.cursorX = 530;
    platform.fake.cursorY = 290;
    bar->ReportDrag();
    bar->ReportDrag();
    EmitMouse(CInputMap::Release, 50, 115);
    bar->ReportDrag();
    EXPECT_FALSE(bar->IsScreenDragging());
    EXPECT_EQ(record.drags, (std::vector<std::vector<int>>{{30, -10}, {0, 0}}));

    // The second button toggles the first one off and on.
    for (bool toggled : {true, false})
    {
        EmitMouse(CInputMap::Press, 265, 115);
        EmitMouse(CInputMap::Release, 265, 115);
        EXPECT_EQ(bar->IsToggled(), toggled);
        EXPECT_EQ(bar->Button(0).IsEnabled(), !toggled);
    }
}
