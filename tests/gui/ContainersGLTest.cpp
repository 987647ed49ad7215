// A window dragged by real SDL events (by its title bar, not by its body)
// and a frame's eight cells where the placement table puts them.
#include <memory>

#include <gtest/gtest.h>

#include "gui/Frame.h"
#include "gui/GUIGLSupport.h"
#include "gui/GUIManager.h"
#include "gui/Window.h"

using ContainersGLTest = GUIEventTest;

TEST_F(ContainersGLTest, AWindowFollowsADragOfItsTitleBarOnly)
{
    CGUIManager manager;
    auto* window = static_cast<CWindow*>(manager.Append(std::make_unique<CWindow>()));
    window->TitleBar().SetSize(1, 20);
    window->SetPosition(100, 100);
    window->SetSize(200, 150);
    Paint(*window, CVector(0, 0, 1, 0));
    Paint(window->TitleBar(), CVector(1, 0, 0, 0));
    Run(
        [&]
        {
            Drag(150, 200, 400, 450); // the body
            Drag(150, 110, 250, 310); // the title bar
        });
    EXPECT_EQ(window->GetPosition(), CVector(200, 300, 0));
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    manager.Draw();
    ExpectPixel(150, 200, kGrey);
    ExpectPixel(210, 310, kRed);
    ExpectPixel(390, 440, kBlue);
    ExpectPixel(410, 440, kGrey);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ContainersGLTest, FrameCellsLieHalfOutsideItsRectangle)
{
    // Corners and edge thickness 20, no border: every cell straddles the
    // frame's edge at (200, 150)..(400, 250) by 10 pixels.
    const Pixel colours[CFrame::CellCount] = {
        kRed,          kGreen,        kBlue,           {255, 255, 0},
        {0, 255, 255}, {255, 0, 255}, {255, 255, 255}, {0, 0, 0}};
    CFrame frame;
    frame.SetPosition(200, 150);
    frame.SetSize(200, 100);
    Paint(frame, CVector(0.5f, 0.5f, 0, 0));
    CGUI piece;
    for (int i = 0; i < 8; ++i)
    {
        piece.SetSize(20, 20);
        Paint(piece,
              CVector(colours[i][0] / 255.0f, colours[i][1] / 255.0f, colours[i][2] / 255.0f, 0));
        frame.SetCell(i, piece);
    }
    frame.Refresh();
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    frame.Draw();
    // Middles of the cells: corners at x 195 and 404, y 145 and 254.
    const int points[CFrame::CellCount][2] = {{195, 145}, {300, 145}, {404, 145}, {195, 200},
                                              {404, 200}, {195, 254}, {300, 254}, {404, 254}};
    for (int i = 0; i < 8; ++i)
    {
        SCOPED_TRACE(i);
        ExpectPixel(points[i][0], points[i][1], colours[i]);
    }
    ExpectPixel(300, 200, {128, 128, 0});
    ExpectPixel(185, 145, kGrey);
    ExpectPixel(300, 265, kGrey);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
