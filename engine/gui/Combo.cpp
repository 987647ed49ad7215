// CCombo: the routing of the combo's events to its parts and the list that
// opens and closes with the button, a choice and the loss of focus.

#include "gui/Combo.h"

#include "core/XML.h"
#include "gui/detail/Parts.h"

CCombo::CCombo()
{
    m_typeCode = TypeCombo;
    m_enabled = true;
    Adopt();
    m_list.SetVisible(false);
    ConnectSlot(m_connections, Input, this, &CCombo::OnInput);
    ConnectSlot(m_connections, FocusChanged, this, &CCombo::OnFocusChanged);
    ConnectSlot(m_connections, m_button.Clicked, this, &CCombo::OnButtonClicked);
    ConnectSlot(m_connections, m_list.Selected, this, &CCombo::Select);
    ConnectSlot(m_connections, m_list.VisibleChanged, this, &CCombo::OnListVisible);
}

void CCombo::Adopt()
{
    for (CGUI* part :
         {static_cast<CGUI*>(&m_edit), static_cast<CGUI*>(&m_button), static_cast<CGUI*>(&m_list)})
        part->SetParent(this);
}

void CCombo::Draw()
{
    if (!IsVisible())
        return;
    const float z = gui_detail::Depth(*this) + 1.0f;
    gui_detail::DrawAt(m_edit, z);
    gui_detail::DrawAt(m_button, z);
    gui_detail::DrawAt(m_list, z);
}

void CCombo::CopyFrom(const CGUI& other)
{
    if (&other == this)
        return;
    CGUI::CopyFrom(other);
    const auto* combo = dynamic_cast<const CCombo*>(&other);
    if (!combo)
        return;
    m_dropped = combo->m_dropped;
    m_edit.CopyFrom(combo->m_edit);
    m_button.CopyFrom(combo->m_button);
    m_list.CopyFrom(combo->m_list);
    Adopt();
    if (m_subFocus)
        m_subFocus->SetFocus(false);
    m_subFocus = nullptr;
    Layout();
}

void CCombo::LoadAttributes(const CXMLNode& node)
{
    CGUI::LoadAttributes(node);
    m_dropped = GetScale().y;
    for (unsigned i = 0; i < node.GetChildCount(); ++i)
    {
        const CXMLNode& child = *node.GetChild(i);
        if (child.GetName() == "edit")
            m_edit.LoadAttributes(child);
        else if (child.GetName() == "button")
            m_button.LoadAttributes(child);
        else if (child.GetName() == "list")
            m_list.LoadAttributes(child);
    }
    Layout();
}

void CCombo::Layout()
{
    const float width = GetScale().x;
    const float editHeight = m_edit.GetScale().y;
    m_button.SetPosition(width - m_button.GetScale().x, 0.0f);
    m_list.SetPosition(0.0f, editHeight);
    m_list.SetSize(width, m_dropped - editHeight);
    m_list.SetVisible(false);
}

void CCombo::SetFont(const CFont* font)
{
    m_edit.SetFont(font);
    m_button.SetFont(font);
    m_list.SetFont(font);
}

bool CCombo::HasRow(int row) const
{
    return row >= 0 && static_cast<unsigned>(row) < m_list.RowCount();
}

void CCombo::SetSelected(int row)
{
    if (!HasRow(row))
        return;
    m_list.SetSelected(row);
    Select(row, 0);
}

void CCombo::Select(int row, int column)
{
    if (!HasRow(row))
        return;
    String text = m_list.ItemText(row, column);
    // The cell's text is unescaped already: a second pass would turn a
    // literal backslash-n into a line break.
    m_edit.SetRawText(text);
    m_list.SetVisible(false);
    Selection.Emit(text, row, column);
}

void CCombo::SelectByText(const String& text)
{
    for (unsigned row = 0; row < m_list.RowCount(); ++row)
        if (m_list.ItemText(static_cast<int>(row), 0) == text)
        {
            SetSelected(static_cast<int>(row));
            return;
        }
}

void CCombo::OnFocusChanged(bool focus)
{
    if (focus)
        return;
    m_list.SetVisible(false);
    if (CGUI* part = m_subFocus)
    {
        m_subFocus = nullptr;
        part->SetFocus(false);
    }
}

void CCombo::OnButtonClicked()
{
    m_list.SetVisible(!m_list.IsVisible());
}

// Open and focused, the combo covers the list too; closed, only the edit
// box, so that what lies below the list gets the mouse again.
void CCombo::OnListVisible(bool visible)
{
    const float width = GetScale().x;
    SetSize(width, visible && m_focus ? m_dropped : m_edit.GetScale().y);
}

// The part under the pointer gets the event: the list before the button
// before the edit box; the wheel goes to the open list wherever the pointer
// is. Parts the pointer is not on hear MouseOut on a move. Nothing reaches
// the parts until a press has focused the combo; a press moves the
// sub-focus to its target.
void CCombo::OnInput(CInputMap& event)
{
    const int x = static_cast<int>(event.Position.x);
    const int y = static_cast<int>(event.Position.y);
    const bool move = event.Action == CInputMap::Move;
    CGUI* target = nullptr;
    if (m_edit.Contains(x, y))
        target = &m_edit;
    else if (move)
        m_edit.MouseOut.Emit();
    if (m_button.Contains(x, y))
        target = &m_button;
    else if (move)
        m_button.MouseOut.Emit();
    if (m_list.Contains(x, y) || (event.Action == CInputMap::Wheel && m_list.IsVisible()))
        target = &m_list;
    else if (event.Action == CInputMap::Wheel)
        target = nullptr;
    else if (move)
        m_list.MouseOut.Emit();
    if (!target || !m_focus)
        return;
    if (event.Action == CInputMap::Press && target != m_subFocus)
    {
        if (m_subFocus)
            m_subFocus->SetFocus(false);
        m_subFocus = target;
        target->SetFocus(true);
    }
    target->Input.Emit(event);
    if (event.Action == CInputMap::Release)
        target->Clicked.Emit();
    else if (event.Action == CInputMap::DoubleClick)
        target->DoubleClicked.Emit();
    else if (move)
        target->MouseOver.Emit();
}
