// Text drawn with the DejaVu glyph atlas in a real window and found again by
// its ink (the white pixels on the grey): where each anchor puts it, how a
// long line wraps and where the box's bottom cuts it.
#include "gui/Font.h"

#include <algorithm>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gui/GUIGLSupport.h"
#include "support/GlyphAtlas.h"

namespace
{

struct Ink
{
    int left = 800, top = 600, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
};

// The bounding box of the white pixels in [x0, x1) x [y0, y1).
Ink FindInk(int x0, int y0, int x1, int y1)
{
    std::vector<unsigned char> rgba(800 * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    Ink ink;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (rgba[((599 - y) * 800 + x) * 4] > 192)
            {
                ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

void DrawText(CFont& font, const char* text, int align, float y, float w, float h)
{
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    font.SetText(text);
    font.SetAlign(align);
    font.SetPosition(100, y);
    font.SetSize(w, h);
    font.Draw();
}

} // namespace

using FontGLTest = GUIWindowTest;

// A capital H has no descender and side bearings of a pixel or two, so its
// ink sits a few pixels inside the corner the anchor names.
TEST_F(FontGLTest, EachAnchorPutsTheTextAtItsCornerOrCentre)
{
    GlyphAtlas atlas;
    ASSERT_TRUE(atlas.Load(16));
    CFont font;
    font.SetSprite(atlas.sprite);
    Ink ink[3];
    for (int align : {0, 4, 8})
    {
        DrawText(font, "HHHH", align, 100, 300, 80);
        ink[align / 4] = FindInk(100, 100, 400, 180);
        ASSERT_FALSE(ink[align / 4].Empty()) << align;
    }
    EXPECT_LE(ink[0].left - 100, 3);
    EXPECT_LE(ink[0].top - 100, 8);
    EXPECT_NEAR((ink[1].left + ink[1].right) / 2.0, 250, 2);
    EXPECT_NEAR((ink[1].top + ink[1].bottom) / 2.0, 140, 4);
    EXPECT_GE(ink[2].right, 394);
    EXPECT_GE(ink[2].bottom, 170);
    // The same text, only moved.
    EXPECT_EQ(ink[2].right - ink[2].left, ink[0].right - ink[0].left);
    EXPECT_EQ(ink[2].bottom - ink[2].top, ink[0].bottom - ink[0].top);
}

TEST_F(FontGLTest, LongLinesWrapAtASpaceAndTheBottomCutsWhatPassesIt)
{
    GlyphAtlas atlas;
    ASSERT_TRUE(atlas.Load(16));
    CFont font;
    font.SetSprite(atlas.sprite);
    // Room for one word and a little more: the second word wraps.
    const int line = int(font.LineHeight());
    const float width = font.LineWidth("HHH", 0) + 10;
    DrawText(font, "HHH HHH", 0, 100, width, 3.0f * line);
    const Ink first = FindInk(90, 100, 400, 100 + line);
    const Ink second = FindInk(90, 100 + line, 400, 100 + 2 * line);
    ASSERT_FALSE(first.Empty() || second.Empty());
    EXPECT_EQ(second.left, first.left);
    EXPECT_EQ(second.right, first.right);
    EXPECT_LT(first.right, 100 + width);

    // A box one and a half lines high keeps one line; so does a password.
    DrawText(font, "HHH HHH", 0, 100, width, 1.5f * line);
    EXPECT_TRUE(FindInk(90, 100 + line, 400, 300).Empty());
    font.SetPassword(true);
    DrawText(font, "HH\\nHH", 0, 100, 300, 3.0f * line);
    EXPECT_FALSE(FindInk(90, 100, 400, 100 + line).Empty());
    EXPECT_TRUE(FindInk(90, 100 + line, 400, 300).Empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
