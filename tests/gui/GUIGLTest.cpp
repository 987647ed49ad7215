// Controls drawn in a real 800 x 600 window through the flat view (window
// pixels, origin top-left, y down) and read back: placement relative to a
// parent, alignment, and the progress bar's fill and texture cut.
#include "gui/GUI.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "core/Matrix.h"
#include "core/XML.h"
#include "gui/GUIGLSupport.h"
#include "gui/Progress.h"
#include "render/Draw.h"
#include "resources/Texture.h"

using GUIGLTest = GUIWindowTest;

TEST_F(GUIGLTest, ChildrenDrawRelativeToAlignedParentsAndHideWithThem)
{
    CXMLDocument document;
    ASSERT_TRUE(document.Parse(R"(<gui><gui x="500" y="400" z="5" w="100" h="50" align="4">
        <emission r="1" g="1"/><ambient/></gui></gui>)"));
    CGUI panel;
    panel.LoadAttributes(*document.GetChild(0));
    CGUI child;
    child.SetParent(&panel);
    child.SetPosition(10, 10);
    child.GetTransform().Set(CMatrix::TranslationZ, 6.0f);
    child.SetSize(20, 20);
    child.GetMaterial().SetAmbient(CVector(0, 0, 0, 1));
    child.GetMaterial().SetEmission(CVector(1, 0, 1, 0));

    panel.Draw();
    child.Draw();
    ExpectPixel(451, 376, {255, 255, 0});
    ExpectPixel(548, 423, {255, 255, 0});
    ExpectPixel(448, 400, kGrey);
    ExpectPixel(500, 373, kGrey);
    ExpectPixel(511, 411, {255, 0, 255});
    ExpectPixel(528, 428, {255, 0, 255});
    EXPECT_EQ(child.GetPosition().x, 10); // drawing restores the relative place

    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    panel.SetVisible(false);
    panel.Draw();
    child.Draw();
    ExpectPixel(500, 400, kGrey);
    ExpectPixel(515, 415, kGrey);

    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GUIGLTest, BarFillsFromTheLeftWithItsImageCutNotSqueezed)
{
    // Top half of the picture: the blue background frame. Bottom half: the
    // bar frame, red on its left half and green on its right.
    CTexture texture;
    texture.Create(100, 20, 4, 32);
    for (unsigned y = 0; y < 20; ++y)
        for (unsigned x = 0; x < 100; ++x)
        {
            // Rows are stored bottom row first.
            const uint8_t background[4] = {0, 0, 255, 255};
            const uint8_t bar[4] = {uint8_t(x < 50 ? 255 : 0), uint8_t(x < 50 ? 0 : 255), 0, 255};
            texture.SetPixel(x, y, y >= 10 ? background : bar);
        }
    CTexture::UploadOptions nearest;
    nearest.linear = false;
    texture.Upload(nearest);
    ASSERT_NE(texture.GetTextureName(), 0u);
    CSprite sprite;
    SpriteFrame frame;
    CSprite::SetFrameRect(frame, 0, 0, 100, 10, 0, &texture);
    sprite.AddFrame(frame);
    CSprite::SetFrameRect(frame, 0, 10, 100, 10, 0, &texture);
    sprite.AddFrame(frame);

    const float percents[3] = {0, 37, 100};
    CProgress bars[3];
    for (int i = 0; i < 3; ++i)
    {
        bars[i].SetSprite(sprite);
        bars[i].SetPosition(100, 100 + 50 * i);
        bars[i].SetSize(200, 20);
        bars[i].SetPercent(percents[i]);
        bars[i].Draw();
    }

    // 0 %: background only.
    ExpectPixel(101, 110, kBlue);
    ExpectPixel(298, 118, kBlue);
    // 37 %: 74 pixels of bar, all from the red part of its image.
    ExpectPixel(101, 160, kRed);
    ExpectPixel(172, 160, kRed);
    ExpectPixel(176, 160, kBlue);
    ExpectPixel(298, 160, kBlue);
    // 100 %: the whole bar image.
    ExpectPixel(101, 210, kRed);
    ExpectPixel(298, 210, kGreen);
    ExpectPixel(98, 110, kGrey);
    ExpectPixel(301, 210, kGrey);
    ExpectPixel(150, 121, kGrey);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GUIGLTest, EachAlignmentPutsItsAnchorOnThePosition)
{
    // A 40 x 20 control at (400, 300): its top-left corner lands at the
    // position minus 0, half or all of the size, by column and by row.
    for (int align = 0; align <= 8; ++align)
    {
        ClearScreen(0.5f, 0.5f, 0.5f, 0);
        CGUI control;
        control.SetAlign(align);
        control.SetPosition(400, 300);
        control.SetSize(40, 20);
        control.GetMaterial().SetAmbient(CVector(0, 0, 0, 1));
        control.GetMaterial().SetEmission(CVector(0, 0, 1, 0));
        control.Draw();

        const int left = 400 - 20 * (align % 3);
        const int top = 300 - 10 * (align / 3);
        SCOPED_TRACE(align);
        ExpectPixel(left + 1, top + 1, kBlue);
        ExpectPixel(left + 38, top + 18, kBlue);
        ExpectPixel(left - 2, top + 10, kGrey);
        ExpectPixel(left + 41, top + 10, kGrey);
        ExpectPixel(left + 20, top - 2, kGrey);
        ExpectPixel(left + 20, top + 21, kGrey);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
