// A combo box under real SDL events: its button opens the list, the wheel
// scrolls it, a click on a row chooses it and closes the list; the window's
// pixels show the list while it is open and the choice in the edit box.
#include "gui/Combo.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "gui/GUIGLSupport.h"
#include "gui/GUIManager.h"
#include "gui/GUITestSupport.h"
#include "support/GlyphAtlas.h"

namespace
{

struct Recorder
{
    void OnSelection(String& text, int row, int) { chosen = text.GetText() + std::to_string(row); }
    std::string chosen;
    Connections slots;
};

} // namespace

using ComboGLTest = GUIEventTest;

TEST_F(ComboGLTest, OpensScrollsChoosesAndCloses)
{
    GlyphAtlas atlas;
    ASSERT_TRUE(atlas.Load(16));
    CFont font;
    font.SetSprite(atlas.sprite);
    font.SetSize(100, 20);
    CGUIManager manager;
    auto* combo = static_cast<CCombo*>(manager.Append(std::make_unique<CCombo>()));
    combo->SetFont(&font);
    combo->List().ScrollBar().SetSize(10, 10);
    // Four 20-pixel rows fit the list at y 120..200; six make it scroll.
    LoadXML(*combo, R"(<gui><combo x="100" y="100" w="150" h="100">
        <edit w="130" h="20"/><button w="20" h="20"/>
        <list><column w="100"><item text="zero"/><item text="one"/><item text="two"/>
          <item text="three"/><item text="four"/><item text="five"/></column></list>
      </combo></gui>)");
    Paint(combo->Edit(), CVector(0, 0, 1, 0));
    Paint(combo->Button(), CVector(1, 0, 0, 0));
    Paint(combo->List(), CVector(0, 1, 0, 0));
    Recorder record;
    ConnectSlot(record.slots, combo->Selection, &record, &Recorder::OnSelection);

    Run(
        [&]
        {
            Click(150, 150); // below the closed combo: nothing there
            Click(240, 110);
            Wheel(-1); // toward the user: down the list
        });
    EXPECT_EQ(combo->GetSize().y, 100);
    EXPECT_TRUE(combo->IsOpen());
    EXPECT_EQ(combo->List().FirstVisible(), 1);
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    manager.Draw();
    ExpectPixel(230, 190, kGreen);
    EXPECT_TRUE(AnyRedAtLeast(100, 120, 200, 140, 200)); // "one" at the top

    Run([&] { Click(150, 150); }); // the second row shown: "two"
    EXPECT_EQ(record.chosen, "two2");
    EXPECT_FALSE(combo->IsOpen());
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    manager.Draw();
    ExpectPixel(230, 190, kGrey);
    ExpectPixel(240, 110, kRed);
    EXPECT_TRUE(AnyRedAtLeast(100, 100, 200, 120, 200)); // "two" in the edit box
    EXPECT_EQ(combo->GetSize().y, 20);

    // Open again: a press elsewhere takes the focus and closes it.
    Run(
        [&]
        {
            Click(240, 110);
            Click(500, 500);
        });
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_EQ(manager.GetActive(), nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
