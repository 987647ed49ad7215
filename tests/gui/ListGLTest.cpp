// A list drawn in a real window: the rows that fit, the selection and hover
// highlights behind them (short of the scroll bar), nothing of a row that
// does not fit.
#include "gui/List.h"

#include <gtest/gtest.h>

#include "gui/GUIGLSupport.h"

using ListGLTest = GUIWindowTest;

TEST_F(ListGLTest, HighlightsSitBehindTheRowsThatFit)
{
    // 100 x 50 at (100, 100): rows of 20 at y 100..120 and 120..140; the
    // third would end at 160. Green cells fill column 0 (x 100..150).
    CList list;
    list.ScrollBar().SetSize(10, 10);
    list.SetPosition(100, 100);
    list.SetSize(100, 50);
    list.AddColumn(CList::End, 50, "c");
    CGUI cell;
    cell.SetSize(50, 20);
    Paint(cell, CVector(0, 1, 0, 0));
    for (int row = 0; row < 3; ++row)
    {
        list.AddItem(CList::End, "");
        list.SetCell(row, 0, cell);
    }
    Paint(list, CVector(0.5f, 0.5f, 0, 0));
    Paint(list.ScrollBar(), CVector(1, 1, 1, 0));
    // Highlights are see-through until given an alpha.
    Paint(list.SelectHighlight(), CVector(1, 0, 0, 0));
    Paint(list.HoverHighlight(), CVector(0, 0, 1, 0));
    list.SelectHighlight().GetMaterial().SetDiffuse(CVector(0, 0, 0, 1));
    list.HoverHighlight().GetMaterial().SetDiffuse(CVector(0, 0, 0, 1));
    list.SetSelected(1);
    list.Contains(110, 105); // hovers row 0
    ASSERT_EQ(list.GetHover(), 0);

    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    list.Draw();
    ExpectPixel(110, 110, kGreen);
    ExpectPixel(110, 130, kGreen);
    ExpectPixel(170, 110, kBlue);
    ExpectPixel(170, 130, kRed);
    ExpectPixel(195, 110, {255, 255, 255});
    ExpectPixel(110, 145, {128, 128, 0}); // the third row is not drawn
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
