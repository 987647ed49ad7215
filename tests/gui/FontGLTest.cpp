// Text drawn with the DejaVu glyph atlas in a real window and found again by
// its ink (the white pixels on the grey): where each alignment puts it, how
// a long line wraps and where the box's bottom cuts it.
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

// The bounding box of the white pixels inside [x0, x1) x [y0, y1).
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

class FontGLTest : public GUIWindowTest
{
protected:
    void SetUp() override
    {
        GUIWindowTest::SetUp();
        ASSERT_TRUE(atlas.Load(16));
        font.SetSprite(atlas.sprite);
        font.GetMaterial().SetAmbient(CVector(0, 0, 0, 1));
    }

    void DrawText(const char* text, int align, float x, float y, float w, float h)
    {
        font.SetText(text);
        font.SetAlign(align);
        font.SetPosition(x, y);
        font.SetSize(w, h);
        font.Draw();
    }

    GlyphAtlas atlas;
    CFont font;
};

} // namespace

// A capital H has no descender and side bearings of a pixel or two, so its
// ink sits a few pixels inside the corner the anchor names.
TEST_F(FontGLTest, EachAnchorPutsTheTextAtItsCornerOrCentre)
{
    DrawText("HHHH", 0, 100, 100, 300, 80);
    DrawText("HHHH", 4, 100, 250, 300, 80);
    DrawText("HHHH", 8, 100, 400, 300, 80);
    const Ink left = FindInk(100, 100, 400, 180);
    const Ink centre = FindInk(100, 250, 400, 330);
    const Ink corner = FindInk(100, 400, 400, 480);
    ASSERT_FALSE(left.Empty() || centre.Empty() || corner.Empty());

    EXPECT_LE(left.left - 100, 3);
    EXPECT_LE(left.top - 100, 8);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 250, 2);
    EXPECT_NEAR((centre.top + centre.bottom) / 2.0, 290, 4);
    EXPECT_GE(corner.right, 394);
    EXPECT_GE(corner.bottom, 470);
    // The same text, only moved.
    EXPECT_EQ(centre.right - centre.left, left.right - left.left);
    EXPECT_EQ(corner.bottom - corner.top, left.bottom - left.top);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FontGLTest, LongLinesWrapAtASpaceAndTheBottomCutsWhatPassesIt)
{
    // Room for one word and a little more: the second word wraps.
    const float lineHeight = font.LineHeight();
    const float width = font.LineWidth("HHH", 0) + 10;
    DrawText("HHH HHH", 0, 100, 100, width, 3 * lineHeight);
    const Ink first = FindInk(90, 100, 400, int(100 + lineHeight));
    const Ink second = FindInk(90, int(100 + lineHeight), 400, int(100 + 2 * lineHeight));
    ASSERT_FALSE(first.Empty() || second.Empty());
    EXPECT_EQ(second.left, first.left);
    EXPECT_EQ(second.right, first.right);
    EXPECT_LT(first.right, 100 + width);

    // The same text in a box one and a half lines high keeps one line.
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    DrawText("HHH HHH", 0, 100, 100, width, 1.5f * lineHeight);
    EXPECT_FALSE(FindInk(90, 100, 400, int(100 + lineHeight)).Empty());
    EXPECT_TRUE(FindInk(90, int(100 + lineHeight), 400, 300).Empty());

    // Password mode: one line of masks, the newline masked too.
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    font.SetPassword(true);
    DrawText("HH\\nHH", 0, 100, 100, 300, 3 * lineHeight);
    EXPECT_FALSE(FindInk(90, 100, 400, int(100 + lineHeight)).Empty());
    EXPECT_TRUE(FindInk(90, int(100 + lineHeight), 400, 300).Empty());
}
