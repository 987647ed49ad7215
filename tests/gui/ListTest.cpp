// The list without a window: the row layout and its scroll bar, the row
// indices it is handed (past the end, negative, its own cell), the
// description format, and hover, selection and double clicks through the
// manager.
#include "gui/List.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gui/GUIManager.h"
#include "gui/GUITestSupport.h"
#include "support/MouseEvents.h"

namespace
{

struct Recorder
{
    void OnHover(int row, int column) { hovers.push_back({row, column}); }
    void OnSelected(int row, int column) { selected.push_back({row, column}); }
    void OnDouble(int row, int column) { doubles.push_back({row, column}); }
    std::vector<std::vector<int>> hovers, selected, doubles;
    Connections slots;
};

// A cell `height` pixels tall in row `row`.
void SetRowHeight(CList& list, int row, float height)
{
    CGUI cell;
    cell.SetSize(10, height);
    list.SetCell(row, 0, cell);
}

} // namespace

TEST(List, RowsThatFitAreShownAndTheBarOnlyOnOverflow)
{
    struct Case
    {
        std::vector<float> heights;
        unsigned spacing;
        float listHeight;
        bool overflow;
        unsigned maximum;
    } cases[] = {
        {{}, 0, 100, false, 0},
        {{50, 50}, 0, 100, false, 0},
        {{50, 50}, 1, 100, true, 1},
        {{20, 20, 20, 20, 20}, 5, 60, true, 3},
        {{20, 20, 20, 20, 60}, 0, 60, true, 4}, // the tall last row alone
        {{120}, 0, 100, false, 0},              // the first row always shows
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.listHeight);
        CList list;
        list.ScrollBar().SetSize(10, 10);
        list.AddColumn(CList::End, 10, "c");
        list.SetSpacing(c.spacing);
        list.SetSize(100, c.listHeight);
        for (size_t i = 0; i < c.heights.size(); ++i)
        {
            list.AddItem(CList::End, "");
            SetRowHeight(list, static_cast<int>(i), c.heights[i]);
        }
        EXPECT_EQ(list.Overflows(), c.overflow);
        EXPECT_EQ(list.ScrollMaximum(), c.maximum);
        EXPECT_EQ(list.ScrollBar().IsVisible(), c.overflow);
        EXPECT_EQ(list.ScrollBar().GetMaximum(), static_cast<float>(c.maximum));
        EXPECT_EQ(list.ScrollBar().GetPosition().x, 90);
    }
}

TEST(List, RowIndicesPastTheEndOrNegativeAreOutOfRange)
{
    CList list;
    list.AddColumn(CList::End, 50, "name");
    list.AddColumn(0, 30, "first"); // columns insert before: "name" is now 1
    for (const char* text : {"a", "b", "c"})
        list.AddItem(CList::End, text);
    list.AddItem(1, "inserted");
    EXPECT_EQ(list.ItemText(1, 0), String("inserted"));
    EXPECT_EQ(list.ItemText(0, 1), String()); // a placeholder, not a font

    const int outside[][2] = {{-1, 0}, {0, -1}, {4, 0}};
    for (const auto& cell : outside)
    {
        SCOPED_TRACE(testing::Message() << cell[0] << ", " << cell[1]);
        list.SetItem(cell[0], cell[1], "x");
        list.SetCell(cell[0], cell[1], CGUI());
        EXPECT_EQ(list.ItemText(cell[0], cell[1]), String());
    }
    EXPECT_EQ(list.ItemText(0, 0), String("a"));
    list.SetSelected(2);
    list.SetSelected(-1);
    list.SetSelected(4);
    EXPECT_EQ(list.GetSelected(), 2);

    // Its own cell as the template: copied before the old one goes.
    list.SetCell(2, 0, *list.Cell(2, 0));
    EXPECT_EQ(list.ItemText(2, 0), String("b"));
    EXPECT_EQ(list.Cell(2, 0)->GetParent(), &list);

    // A scroll value or a copied template past the end still draws a row.
    list.ScrollBar().SetMaximum(100);
    list.ScrollBar().SetValue(50);
    EXPECT_EQ(list.FirstVisible(), 3);
    CList copy;
    copy.CopyFrom(list);
    EXPECT_EQ(copy.FirstVisible(), 3);
    EXPECT_EQ(copy.ItemText(3, 0), String("c"));
    EXPECT_EQ(copy.Cell(3, 0)->GetParent(), &copy);
}

TEST(List, ColumnsWithoutCellsAndTheDescriptionFormat)
{
    CList bare;
    bare.AddItem(CList::End, "lost");
    EXPECT_EQ(bare.RowCount(), 1u);
    EXPECT_EQ(bare.ItemText(0, 0), String());

    CList list;
    LoadXML(list, R"(<gui><list w="100" h="100" spacing="2">
        <hover r="1" a="0.5"/>
        <column name="n" w="40"><item text="one"/><item text="two"/></column>
        <column name="v" w="60"><note/><item text="2nd"/></column>
      </list></gui>)");
    EXPECT_EQ(list.ColumnCount(), 2u);
    EXPECT_EQ(list.RowCount(), 2u);
    EXPECT_EQ(list.ItemText(1, 0), String("two"));
    EXPECT_EQ(list.ItemText(1, 1), String("2nd")); // by its place among the children
    EXPECT_EQ(list.ItemText(0, 1), String());
    EXPECT_EQ(list.HoverHighlight().GetMaterial().GetEmission(), CVector(1, 0, 0, 0.5f));
    EXPECT_EQ(list.HoverHighlight().GetMaterial().GetDiffuse().w, 0.5f);
    EXPECT_EQ(list.SelectHighlight().GetMaterial().GetDiffuse().w, 0.0f);
}

TEST(List, HoverSelectionAndDoubleClicksThroughTheManager)
{
    CGUIManager manager;
    auto* list = static_cast<CList*>(manager.Append(std::make_unique<CList>()));
    CFont font;
    font.SetSize(80, 20);
    list->SetFont(&font);
    list->SetPosition(100, 100);
    list->SetSize(100, 70);
    list->SetSpacing(10);
    list->AddColumn(CList::End, 80, "name");
    for (const char* text : {"a", "b", "c", "d"})
        list->AddItem(CList::End, text);
    Recorder record;
    ConnectSlot(record.slots, list->Hover, &record, &Recorder::OnHover);
    ConnectSlot(record.slots, list->Selected, &record, &Recorder::OnSelected);
    ConnectSlot(record.slots, list->RowDoubleClicked, &record, &Recorder::OnDouble);

    // Rows at 0..20 and 30..50; the third one does not fit.
    EmitMouse(CInputMap::Move, 110, 135);
    EXPECT_EQ(list->GetHover(), 1);
    EmitMouse(CInputMap::Press, 110, 105);
    EmitMouse(CInputMap::Release, 110, 105);
    EmitMouse(CInputMap::DoubleClick, 110, 140);
    EXPECT_EQ(list->GetSelected(), 0);
    EmitMouse(CInputMap::Press, 110, 125); // between the rows
    EmitMouse(CInputMap::Release, 110, 125);
    EXPECT_EQ(list->GetSelected(), -1);
    EmitMouse(CInputMap::Press, 110, 165); // below the last row shown
    EmitMouse(CInputMap::Release, 110, 165);
    EXPECT_EQ(list->GetSelected(), -1);
    EXPECT_EQ(list->GetHover(), -1);
    EXPECT_EQ(record.selected, (std::vector<std::vector<int>>{{0, 0}}));
    EXPECT_EQ(record.doubles, (std::vector<std::vector<int>>{{1, 0}}));
    EXPECT_EQ(record.hovers.front(), (std::vector<int>{1, 0}));

    // The wheel scrolls: the row at the top is then "b".
    EmitMouse(CInputMap::Wheel, 0, 0, -120);
    EXPECT_EQ(list->FirstVisible(), 1);
    EmitMouse(CInputMap::Press, 110, 105);
    EmitMouse(CInputMap::Release, 110, 105);
    EXPECT_EQ(list->GetSelected(), 1);
}
