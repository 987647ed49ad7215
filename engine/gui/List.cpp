// CList: rows laid out from the first visible one, the scroll bar that
// follows the overflow, and the hit tests that pick a (row, column). Cells
// take the list as their parent and are placed relative to it, so they
// hide, disable and move with it. Every row index read from outside (the
// scroll value, a copied template) is clamped before it reaches m_rows.

#include "gui/List.h"

#include <algorithm>
#include <cmath>

#include "core/XML.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/Combo.h"
#include "gui/Edit.h"
#include "gui/Progress.h"
#include "gui/detail/Parts.h"

namespace
{

// A new control of `source`'s class, for the kinds a cell may hold; any
// other kind becomes a plain control.
std::unique_ptr<CGUI> MakeLike(const CGUI& source)
{
    switch (source.TypeCode())
    {
    case CGUI::TypeButton:
        return std::make_unique<CButton>();
    case CGUI::TypeCheckBox:
        return std::make_unique<CCheckBox>();
    case CGUI::TypeCombo:
        return std::make_unique<CCombo>();
    case CGUI::TypeEdit:
        return std::make_unique<CEdit>();
    case CGUI::TypeFont:
        return std::make_unique<CFont>();
    case CGUI::TypeProgress:
        return std::make_unique<CProgress>();
    case CGUI::TypeScroll:
        return std::make_unique<CScroll>();
    default:
        return std::make_unique<CGUI>();
    }
}

unsigned ClampIndex(unsigned index, size_t count)
{
    return index < count ? index : static_cast<unsigned>(count);
}

} // namespace

CList::CList()
{
    m_typeCode = TypeList;
    m_enabled = true;
    for (CGUI* highlight : {&m_hoverHighlight, &m_selectHighlight})
        gui_detail::SetHighlightColour(*highlight, CVector(1, 1, 1, 0));
    m_scroll.SetParent(this);
    m_scroll.SetVisible(false);
    ConnectSlot(m_connections, Input, this, &CList::OnInput);
    ConnectSlot(m_connections, Clicked, this, &CList::OnClicked);
    ConnectSlot(m_connections, DoubleClicked, this, &CList::OnDoubleClicked);
    ConnectSlot(m_connections, Resized, this, &CList::OnResized);
    ConnectSlot(m_connections, m_scroll.ValueChanged, this, &CList::OnScrollValue);
}

float CList::RowHeight(unsigned row) const
{
    float height = 0.0f;
    if (row < m_rows.size())
        for (const auto& cell : m_rows[row])
            height = std::max(height, cell->GetScale().y);
    return height;
}

std::vector<CList::Slot> CList::Layout(unsigned first) const
{
    std::vector<Slot> slots;
    const float height = GetScale().y;
    float top = 0.0f;
    for (unsigned row = first; row < m_rows.size(); ++row)
    {
        slots.push_back({row, top});
        top += RowHeight(row) + static_cast<float>(m_spacing);
        if (row + 1 < m_rows.size() && top + RowHeight(row + 1) > height)
            break;
    }
    return slots;
}

int CList::FirstVisible() const
{
    if (m_first <= 0 || m_rows.empty())
        return 0;
    return std::min(m_first, static_cast<int>(m_rows.size()) - 1);
}

bool CList::Overflows() const
{
    return Layout(0).size() < m_rows.size();
}

unsigned CList::ScrollMaximum() const
{
    if (m_rows.empty())
        return 0;
    const float height = GetScale().y;
    unsigned first = static_cast<unsigned>(m_rows.size()) - 1;
    float used = RowHeight(first);
    while (first > 0)
    {
        const float more = used + static_cast<float>(m_spacing) + RowHeight(first - 1);
        if (more > height)
            break;
        used = more;
        --first;
    }
    return first;
}

std::vector<CList::Slot> CList::PlaceRows()
{
    const std::vector<Slot> slots = Layout(static_cast<unsigned>(FirstVisible()));
    for (const Slot& slot : slots)
    {
        float left = 0.0f;
        Row& row = m_rows[slot.row];
        for (size_t column = 0; column < row.size(); ++column)
        {
            gui_detail::Place(*row[column], left, slot.top);
            left += m_columns[column].width;
        }
    }
    return slots;
}

bool CList::RowAt(int x, int y, int& row, int& column)
{
    for (const Slot& slot : PlaceRows())
    {
        column = -1;
        const Row& cells = m_rows[slot.row];
        for (size_t i = 0; i < cells.size(); ++i)
            if (cells[i]->Contains(x, y))
                column = static_cast<int>(i);
        if (column >= 0)
        {
            row = static_cast<int>(slot.row);
            return true;
        }
    }
    return false;
}

void CList::Draw()
{
    CGUI::Draw();
    if (!IsVisible())
        return;
    const float z = gui_detail::Depth(*this);
    gui_detail::DrawAt(m_scroll, z + 2.0f);
    const CVector origin = AbsolutePosition();
    const float width = GetScale().x - (m_scroll.IsVisible() ? m_scroll.GetScale().x : 0.0f);
    for (const Slot& slot : PlaceRows())
    {
        const float height = RowHeight(slot.row);
        const int row = static_cast<int>(slot.row);
        for (auto [index, highlight] :
             {std::pair{m_selected, &m_selectHighlight}, std::pair{m_hover, &m_hoverHighlight}})
        {
            if (index != row)
                continue;
            gui_detail::Resize(*highlight, width, height);
            gui_detail::Place(*highlight, origin.x, origin.y + slot.top);
            gui_detail::DrawAt(*highlight, z + 1.0f);
        }
        for (auto& cell : m_rows[slot.row])
            gui_detail::DrawAt(*cell, z + 2.0f);
    }
}

std::unique_ptr<CGUI> CList::Placeholder(float width)
{
    auto cell = std::make_unique<CGUI>();
    cell->SetParent(this);
    cell->SetVisible(false);
    gui_detail::Resize(*cell, width, cell->GetScale().y);
    return cell;
}

void CList::AddColumn(unsigned index, float width, const String& name)
{
    index = ClampIndex(index, m_columns.size());
    m_columns.insert(m_columns.begin() + index, Column{name, width});
    for (Row& row : m_rows)
        row.insert(row.begin() + index, Placeholder(width));
}

void CList::AddItem(unsigned index, const String& text)
{
    m_template.SetText(text);
    if (!m_columns.empty())
        gui_detail::Resize(m_template, m_columns[0].width, m_template.GetScale().y);
    index = ClampIndex(index, m_rows.size());
    Row row;
    for (const Column& column : m_columns)
        row.push_back(Placeholder(column.width));
    m_rows.insert(m_rows.begin() + index, std::move(row));
    if (!m_columns.empty())
        SetCell(static_cast<int>(index), 0, m_template);
    UpdateScroll();
}

bool CList::Exists(int row, int column) const
{
    return row >= 0 && column >= 0 && static_cast<size_t>(row) < m_rows.size() &&
           static_cast<size_t>(column) < m_rows[row].size();
}

CGUI* CList::Cell(int row, int column) const
{
    return Exists(row, column) ? m_rows[row][column].get() : nullptr;
}

void CList::SetItem(int row, int column, const String& text)
{
    m_template.SetText(text);
    if (column >= 0 && static_cast<size_t>(column) < m_columns.size())
        gui_detail::Resize(m_template, m_columns[column].width, m_template.GetScale().y);
    if (Exists(row, column))
        SetCell(row, column, m_template);
}

void CList::SetCell(int row, int column, const CGUI& control)
{
    if (!Exists(row, column))
        return;
    std::unique_ptr<CGUI> copy = MakeLike(control);
    copy->CopyFrom(control);
    copy->SetParent(this);
    copy->SetEnabled(true);
    const CVector size = copy->GetScale();
    if (size.x > m_columns[column].width)
        copy->SetSize(m_columns[column].width, size.y);
    // Only now may the old cell go: `control` may be that very cell.
    m_rows[row][column] = std::move(copy);
    UpdateScroll();
}

String CList::ItemText(int row, int column) const
{
    const CGUI* cell = Cell(row, column);
    if (!cell || cell->TypeCode() != TypeFont)
        return String();
    return static_cast<const CFont*>(cell)->Text();
}

void CList::SetSelected(int row)
{
    if (row >= 0 && static_cast<size_t>(row) < m_rows.size())
        m_selected = row;
}

void CList::SetFont(const CFont* font)
{
    if (!font)
        return;
    m_template.CopyFrom(*font);
    m_template.SetParent(nullptr);
    m_template.SetEnabled(true);
    m_template.SetVisible(true);
    gui_detail::Place(m_template, 0.0f, 0.0f);
}

void CList::SetScroll(const CScroll* scroll)
{
    if (!scroll)
        return;
    m_scroll.CopyFrom(*scroll);
    m_scroll.SetParent(this);
    m_scroll.SetEnabled(true);
    UpdateScroll();
}

void CList::UpdateScroll()
{
    const CVector size = GetScale();
    OnResized(size.x, size.y);
}

// The bar along the right edge, shown only on overflow; its range is the
// first rows the list can start at, and the first row follows its value.
void CList::OnResized(float w, float h)
{
    const float width = m_scroll.GetScale().x;
    gui_detail::Place(m_scroll, w - width, 0.0f);
    m_scroll.SetSize(width, h);
    const bool overflow = Overflows();
    m_scroll.SetVisible(overflow);
    // The range's change must not move the first row through the bar's old
    // value. With every row in view there is nothing to scroll, not even
    // by the wheel.
    const int first = FirstVisible();
    m_scroll.SetMaximum(overflow ? static_cast<float>(ScrollMaximum()) : 0.0f);
    m_scroll.SetValue(static_cast<float>(first));
}

void CList::OnScrollValue(float value)
{
    // NaN and negatives give row 0; FirstVisible clamps the rest.
    m_first = value > 0.0f ? static_cast<int>(std::min(value, 1e9f)) : 0;
}

bool CList::Contains(int x, int y)
{
    m_lastX = x;
    m_lastY = y;
    if (!m_scroll.Contains(x, y) && !m_scrollPressed)
    {
        m_hover = -1;
        int row = 0, column = 0;
        if (RowAt(x, y, row, column))
        {
            m_hover = row;
            Hover.Emit(row, column);
        }
    }
    return CGUI::Contains(x, y);
}

// The scroll bar sees every event (its wheel, its buttons, the thumb's
// drag); then each cell under the pointer gets it as if it were active.
void CList::OnInput(CInputMap& event)
{
    const int x = static_cast<int>(event.Position.x);
    const int y = static_cast<int>(event.Position.y);
    m_lastX = x;
    m_lastY = y;
    if (m_scrollPressed && event.Action == CInputMap::Release && !CGUI::Contains(x, y))
        m_scrollPressed = false;
    m_scroll.Input.Emit(event);
    if (event.Action == CInputMap::Press && m_scroll.Contains(x, y))
        m_scrollPressed = true;
    for (const Slot& slot : PlaceRows())
        for (auto& cell : m_rows[slot.row])
        {
            if (!cell->Contains(x, y))
            {
                if (event.Action == CInputMap::Move)
                    cell->MouseOut.Emit();
                continue;
            }
            cell->Input.Emit(event);
            if (event.Action == CInputMap::Release)
                cell->Clicked.Emit();
            else if (event.Action == CInputMap::DoubleClick)
                cell->DoubleClicked.Emit();
            else if (event.Action == CInputMap::Move)
                cell->MouseOver.Emit();
        }
}

bool CList::EndScrollPress()
{
    const bool pressed = m_scrollPressed;
    m_scrollPressed = false;
    return pressed;
}

void CList::OnClicked()
{
    const bool onScroll = m_scroll.Contains(m_lastX, m_lastY);
    if (onScroll)
        m_scroll.Clicked.Emit();
    if (EndScrollPress() || onScroll)
        return;
    m_selected = -1;
    int row = 0, column = 0;
    if (RowAt(m_lastX, m_lastY, row, column))
    {
        m_selected = row;
        Selected.Emit(row, column);
    }
}

void CList::OnDoubleClicked()
{
    if (EndScrollPress() || m_scroll.Contains(m_lastX, m_lastY))
        return;
    int row = 0, column = 0;
    if (RowAt(m_lastX, m_lastY, row, column))
        RowDoubleClicked.Emit(row, column);
}

void CList::CopyFrom(const CGUI& other)
{
    if (&other == this)
        return;
    CGUI::CopyFrom(other);
    const auto* list = dynamic_cast<const CList*>(&other);
    if (!list)
        return;
    m_columns = list->m_columns;
    std::vector<Row> rows;
    for (const Row& source : list->m_rows)
    {
        Row row;
        for (const auto& cell : source)
        {
            row.push_back(MakeLike(*cell));
            row.back()->CopyFrom(*cell);
            row.back()->SetParent(this);
        }
        rows.push_back(std::move(row));
    }
    m_rows = std::move(rows);
    m_first = list->m_first;
    m_selected = list->m_selected;
    m_hover = -1;
    m_spacing = list->m_spacing;
    gui_detail::SetHighlightColour(m_hoverHighlight,
                                   gui_detail::HighlightColour(list->m_hoverHighlight));
    gui_detail::SetHighlightColour(m_selectHighlight,
                                   gui_detail::HighlightColour(list->m_selectHighlight));
    SetFont(&list->m_template);
    m_scrollPressed = false;
    SetScroll(&list->m_scroll);
}

void CList::LoadAttributes(const CXMLNode& node)
{
    CGUI::LoadAttributes(node);
    if (node.GetAttribute("spacing"))
        m_spacing = static_cast<unsigned>(std::max(0, node.GetAttributeInt("spacing")));
    for (unsigned i = 0; i < node.GetChildCount(); ++i)
    {
        const CXMLNode& child = *node.GetChild(i);
        const String& tag = child.GetName();
        if (tag == "hover")
            gui_detail::ReadHighlight(m_hoverHighlight, child);
        else if (tag == "select")
            gui_detail::ReadHighlight(m_selectHighlight, child);
        else if (tag == "column")
            LoadColumn(child);
    }
    UpdateScroll();
}

// Items of the first column add rows; those of a later column fill the
// row at their place among the column's children.
void CList::LoadColumn(const CXMLNode& node)
{
    const int column = static_cast<int>(ColumnCount());
    AddColumn(End, node.GetAttributeFloat("w"), node.GetAttributeString("name"));
    for (unsigned j = 0; j < node.GetChildCount(); ++j)
    {
        const CXMLNode& item = *node.GetChild(j);
        if (item.GetName() != "item" || !item.GetAttribute("text"))
            continue;
        if (column == 0)
            AddItem(End, item.GetAttributeString("text"));
        else
            SetItem(static_cast<int>(j), column, item.GetAttributeString("text"));
    }
}
