// The combo box without a window: choosing by row and by text (ComboGLTest
// drives the drop-down).
#include "gui/Combo.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gui/GUITestSupport.h"

namespace
{

struct Recorder
{
    void OnSelection(String& text, int row, int column)
    {
        log.push_back(std::string(text.GetText()) + ":" + std::to_string(row) + ":" +
                      std::to_string(column));
    }
    std::vector<std::string> log;
    Connections slots;
};

// At (100, 100), 120 wide; a 20-pixel edit box and button, a list of 20-pixel
// rows dropping to 80 (three rows fit below the edit box).
const char* const Description = R"(<gui><combo x="100" y="100" w="120" h="80">
    <edit w="100" h="20"/><button w="20" h="20"/>
    <list><column w="100"><item text="zero"/><item text="one"/><item text="two"/>
      <item text="three"/><item text="four"/></column></list>
  </combo></gui>)";

void Build(CCombo& combo)
{
    CFont font;
    font.SetSize(100, 20);
    combo.List().SetFont(&font);
    combo.List().ScrollBar().SetSize(10, 10);
    LoadXML(combo, Description);
}

} // namespace

TEST(Combo, ChoosingByRowOrTextFillsTheEditBox)
{
    CCombo combo;
    Build(combo);
    Recorder record;
    ConnectSlot(record.slots, combo.Selection, &record, &Recorder::OnSelection);
    combo.SetSelected(5);
    combo.SetSelected(-1);
    combo.SelectByText("five");
    combo.Select(7, 0);
    EXPECT_TRUE(record.log.empty());
    EXPECT_EQ(combo.Edit().Text(), String());

    combo.SetSelected(1);
    combo.SelectByText("three");
    EXPECT_EQ(record.log, (std::vector<std::string>{"one:1:0", "three:3:0"}));
    EXPECT_EQ(combo.Edit().Text(), String("three"));
    EXPECT_EQ(combo.List().GetSelected(), 3);
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(combo.GetSize().y, 20);
}
