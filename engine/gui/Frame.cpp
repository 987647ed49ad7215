// CFrame: stretching and placing the eight cells. The handlers set the
// frame's own size and position through its transform: emitting Resized or
// Moved from inside their own handlers would never end.

#include "gui/Frame.h"

#include "core/XML.h"
#include "gui/detail/Parts.h"

CFrame::CFrame()
{
    m_typeCode = TypeFrame;
    for (CGUI& cell : m_cells)
        cell.SetParent(this);
    ConnectSlot(m_connections, Resized, this, &CFrame::OnResized);
    ConnectSlot(m_connections, Moved, this, &CFrame::OnMoved);
}

CGUI* CFrame::Cell(int index)
{
    return index >= 0 && index < static_cast<int>(CellCount) ? &m_cells[index] : nullptr;
}

void CFrame::SetCell(int index, const CGUI& control)
{
    CGUI* cell = Cell(index);
    if (!cell)
        return;
    cell->CopyFrom(control);
    cell->SetParent(this);
}

void CFrame::Refresh()
{
    const CVector position = GetPosition();
    const CVector size = GetScale();
    Moved.Emit(position.x, position.y);
    Resized.Emit(size.x, size.y);
}

void CFrame::OnResized(float w, float h)
{
    gui_detail::Resize(*this, w, h);
    const CVector corner = m_cells[0].GetScale();
    const float dx = corner.x - m_border.x, dy = corner.y - m_border.y;
    for (int edge : {1, 6})
        gui_detail::Resize(m_cells[edge], w - dx, m_cells[edge].GetScale().y);
    for (int edge : {3, 4})
        gui_detail::Resize(m_cells[edge], m_cells[edge].GetScale().x, h - dy);
    PlaceCells();
}

void CFrame::OnMoved(float x, float y)
{
    gui_detail::Place(*this, x, y);
    PlaceCells();
}

// Relative to the frame. The corner cell 0's size, less the border, is how
// far the border reaches in; half of it lies outside the rectangle.
void CFrame::PlaceCells()
{
    const float bx = m_border.x, by = m_border.y;
    const float dx = m_cells[0].GetScale().x - bx, dy = m_cells[0].GetScale().y - by;
    const float hx = dx / 2.0f, hy = dy / 2.0f;
    const auto w = [this](int k) { return m_cells[k].GetScale().x; };
    const auto h = [this](int k) { return m_cells[k].GetScale().y; };
    const float top = -hy - by, left = -hx - bx;
    const float x2 = dx + w(1) - hx - 0.5f;
    const float y5 = dy + h(3) - hy - 0.5f;
    gui_detail::Place(m_cells[0], left, top);
    gui_detail::Place(m_cells[1], hx, top);
    gui_detail::Place(m_cells[2], x2, top);
    gui_detail::Place(m_cells[3], left, dy - hy);
    gui_detail::Place(m_cells[4], x2 + w(2) - w(4), dy - hy);
    gui_detail::Place(m_cells[5], left, y5);
    gui_detail::Place(m_cells[6], hx, y5 + h(5) - h(6));
    gui_detail::Place(m_cells[7], dx + w(6) - hx - 0.5f, y5);
}

void CFrame::Draw()
{
    CGUI::Draw();
    if (!IsVisible())
        return;
    const float z = gui_detail::Depth(*this) + 1.0f;
    for (CGUI& cell : m_cells)
        gui_detail::DrawAt(cell, z);
}

void CFrame::CopyFrom(const CGUI& other)
{
    if (&other == this)
        return;
    CGUI::CopyFrom(other);
    const auto* frame = dynamic_cast<const CFrame*>(&other);
    if (!frame)
        return;
    for (unsigned i = 0; i < CellCount; ++i)
        SetCell(static_cast<int>(i), frame->m_cells[i]);
    m_border = frame->m_border;
    Refresh();
}

void CFrame::LoadAttributes(const CXMLNode& node)
{
    CGUI::LoadAttributes(node);
    m_border.Set(node.GetAttributeFloat("borderX"), node.GetAttributeFloat("borderY"));
}
