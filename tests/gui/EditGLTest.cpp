// Typing through real SDL events: text and backspace reach the edit box the
// mouse focused and no other, as typed, and show as glyphs in its box.
#include "gui/Edit.h"

#include <memory>

#include <gtest/gtest.h>

#include "gui/GUIGLSupport.h"
#include "gui/GUIManager.h"
#include "support/GlyphAtlas.h"

using EditGLTest = GUIEventTest;

TEST_F(EditGLTest, OnlyTheFocusedBoxTakesWhatIsTyped)
{
    GlyphAtlas atlas;
    ASSERT_TRUE(atlas.Load(16));
    CFont font;
    font.SetSprite(atlas.sprite);
    CGUIManager manager;
    CEdit* boxes[2];
    for (int i = 0; i < 2; ++i)
    {
        boxes[i] = static_cast<CEdit*>(manager.Append(std::make_unique<CEdit>()));
        boxes[i]->SetFont(&font);
        boxes[i]->SetPosition(100, 100 + 100 * i);
        boxes[i]->SetSize(200, 30);
        boxes[i]->SetBorder(4);
        Paint(*boxes[i], CVector(0, 0, 1, 0));
    }
    Run(
        [&]
        {
            Click(150, 115);
            TypeText("Hi");
            PressKey(SDLK_BACKSPACE);
            TypeText("a\\n");
        });
    EXPECT_STREQ(boxes[0]->Text().GetText(), "Ha\\n");
    EXPECT_STREQ(boxes[1]->Text().GetText(), "");

    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    manager.Draw();
    EXPECT_TRUE(AnyRedAtLeast(100, 100, 300, 130, 200));
    EXPECT_FALSE(AnyRedAtLeast(100, 200, 300, 230, 1));
    ExpectPixel(290, 215, kBlue);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
