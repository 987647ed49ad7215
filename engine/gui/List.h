// Rows of cells under named columns, with a vertical scroll bar shown only
// when the rows overflow, a hover and a selection highlight, and signals
// for hovering, selecting and double-clicking a (row, column). Cells are
// owned copies of template controls, text items copies of the template
// font; a row is as tall as its tallest cell.
#pragma once

#include <memory>
#include <vector>

#include "core/Signal.h"
#include "core/String.h"
#include "gui/Font.h"
#include "gui/GUI.h"
#include "gui/Scroll.h"

class CXMLNode;

class CList : public CGUI
{
public:
    // Appends, as an index for AddColumn and AddItem.
    static constexpr unsigned End = 0xFFFFFFFFu;

    CList();

    // The list, its scroll bar, then for each visible row the highlights
    // and the cells, each nearer than the last.
    void Draw() override;
    // From another list also the columns, the rows (cells copied), the
    // first visible and selected rows, the spacing, the highlight colours,
    // the template font and the scroll bar.
    void CopyFrom(const CGUI& other) override;
    void LoadAttributes(const CXMLNode& node) override;
    // Also makes the row under the point the hover row (unless the point
    // is on the scroll bar or the bar is being pressed) and emits Hover.
    bool Contains(int x, int y) override;

    // `index` past the end appends. Every row gets a hidden placeholder
    // cell as wide as the column.
    void AddColumn(unsigned index, float width, const String& name);
    // A row of placeholders; with a column, cell 0 shows `text` in a copy
    // of the template font.
    void AddItem(unsigned index, const String& text);
    // Rows and columns that do not exist (negative ones included) are
    // ignored by these, and by ItemText, which then gives an empty text.
    void SetItem(int row, int column, const String& text);
    // The old cell goes after the copy is made, so `control` may be it.
    // The copy is enabled and no wider than its column.
    void SetCell(int row, int column, const CGUI& control);
    String ItemText(int row, int column) const;
    // Only a row that exists is selected; no signal.
    void SetSelected(int row);
    int GetSelected() const { return m_selected; }
    int GetHover() const { return m_hover; }
    // The first row drawn: the stored index clamped to the rows there are.
    int FirstVisible() const;
    unsigned RowCount() const { return static_cast<unsigned>(m_rows.size()); }
    unsigned ColumnCount() const { return static_cast<unsigned>(m_columns.size()); }
    // Null when the cell does not exist.
    CGUI* Cell(int row, int column) const;
    float RowHeight(unsigned row) const;
    void SetSpacing(unsigned spacing) { m_spacing = spacing; }
    // The template font copies `font`; null is ignored.
    void SetFont(const CFont* font);
    // The list's bar copies `scroll`; null is ignored.
    void SetScroll(const CScroll* scroll);
    // True when not every row fits from the first one.
    bool Overflows() const;
    // The smallest first row from which the last one still fits.
    unsigned ScrollMaximum() const;
    CScroll& ScrollBar() { return m_scroll; }
    CGUI& HoverHighlight() { return m_hoverHighlight; }
    CGUI& SelectHighlight() { return m_selectHighlight; }

    CSignal<int, int> Hover;
    CSignal<int, int> Selected;
    CSignal<int, int> RowDoubleClicked;

private:
    using Row = std::vector<std::unique_ptr<CGUI>>;
    struct Column
    {
        String name;
        float width;
    };
    // A row as drawn: its index and its top relative to the list.
    struct Slot
    {
        unsigned row;
        float top;
    };

    // The rows that fit from `first`; the first always does.
    std::vector<Slot> Layout(unsigned first) const;
    // Places the visible rows' cells relative to the list and returns them.
    std::vector<Slot> PlaceRows();
    // The first visible row with a cell containing the point, and the last
    // such cell; false when there is none.
    bool RowAt(int x, int y, int& row, int& column);
    bool Exists(int row, int column) const;
    std::unique_ptr<CGUI> Placeholder(float width);
    void LoadColumn(const CXMLNode& node);
    void UpdateScroll();
    void OnResized(float w, float h);
    void OnInput(CInputMap& event);
    void OnClicked();
    void OnDoubleClicked();
    void OnScrollValue(float value);
    // True when a scroll-bar press was in progress; the press ends.
    bool EndScrollPress();

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    unsigned m_spacing = 0;
    int m_lastX = 0;
    int m_lastY = 0;
    bool m_scrollPressed = false;
    int m_first = 0;
    int m_hover = -1;
    int m_selected = -1;
    CGUI m_hoverHighlight;
    CGUI m_selectHighlight;
    CFont m_template;
    CScroll m_scroll;
};
