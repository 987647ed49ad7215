// CMenu: opening and closing the tree on clicks, hovers and focus. A menu
// under the pointer's way to one of its items stays open: ItemUnderCursor
// looks down the open branches.

#include "gui/Menu.h"

#include <algorithm>

#include "core/XML.h"
#include "gui/detail/Parts.h"
#include "shell/InputMap.h"

namespace
{

constexpr int MiddleLeft = 3;

} // namespace

CMenu::CMenu()
{
    m_typeCode = TypeMenu;
    m_enabled = true;
    m_label.SetParent(this);
    m_label.SetAlign(MiddleLeft);
    m_highlight.SetParent(this);
    gui_detail::SetHighlightColour(m_highlight, CVector(1, 1, 1, 0));
    m_icon.SetParent(this);
    gui_detail::Resize(m_icon, 0.0f, 0.0f);
    ConnectSlot(m_connections, Clicked, this, &CMenu::OnClicked);
    ConnectSlot(m_connections, MouseOver, this, &CMenu::OnMouseOver);
    ConnectSlot(m_connections, MouseOut, this, &CMenu::OnMouseOut);
    ConnectSlot(m_connections, FocusChanged, this, &CMenu::OnFocusChanged);
    ConnectSlot(m_connections, Resized, this, &CMenu::OnResized);
}

bool CMenu::IsItem() const
{
    return m_parent && m_parent->TypeCode() == TypeMenu;
}

void CMenu::AddItem(CMenu* item)
{
    if (!item || !item->SetParent(this))
        return;
    item->SetVisible(false);
    m_items.push_back(item);
}

void CMenu::ShowItems(bool show)
{
    const CVector size = GetScale();
    float x = 0.0f, y = size.y;
    if (IsItem())
    {
        x = size.x;
        y = 0.0f;
    }
    for (CMenu* item : m_items)
    {
        if (show)
        {
            item->SetPosition(x, y);
            y += size.y;
        }
        item->SetVisible(show);
        if (!show)
        {
            item->m_highlighted = false;
            item->ShowItems(false);
        }
    }
}

void CMenu::CloseTree()
{
    CMenu* top = this;
    while (top->IsItem())
        top = static_cast<CMenu*>(top->m_parent);
    top->ShowItems(false);
    const bool over = top->ContainsCursor();
    top->m_highlighted = over;
    top->m_expanded = over;
}

bool CMenu::ItemUnderCursor() const
{
    if (!m_visible)
        return false;
    const CVector mouse = GetMousePosition();
    for (CMenu* item : m_items)
    {
        if (item->Contains(static_cast<int>(mouse.x), static_cast<int>(mouse.y)))
            return true;
        if (!item->m_items.empty() && item->IsVisible() && item->ItemUnderCursor())
            return true;
    }
    return false;
}

void CMenu::OnClicked()
{
    if (IsItem())
    {
        m_highlighted = false;
        CloseTree();
        return;
    }
    m_expanded = !m_expanded;
    ShowItems(m_expanded);
}

void CMenu::OnMouseOver()
{
    m_highlighted = true;
    if (IsItem())
        ShowItems(true);
}

void CMenu::OnMouseOut()
{
    if (m_expanded || ItemUnderCursor())
        return;
    m_highlighted = false;
    if (IsItem())
        ShowItems(false);
}

void CMenu::OnFocusChanged(bool focus)
{
    if (focus || IsItem() || ItemUnderCursor())
        return;
    m_expanded = false;
    m_highlighted = false;
    ShowItems(false);
}

void CMenu::OnResized(float w, float h)
{
    m_highlight.SetSize(w, h);
    m_label.SetSize(w - static_cast<float>(m_spacing), h);
}

void CMenu::SetSpacing(unsigned spacing)
{
    m_spacing = spacing;
    const CVector size = GetScale();
    m_label.SetPosition(static_cast<float>(spacing), 0.0f);
    m_label.SetSize(size.x - static_cast<float>(spacing), size.y);
}

void CMenu::SetFont(const CFont* font)
{
    if (!font)
        return;
    m_label.CopyFrom(*font);
    m_label.SetAlign(MiddleLeft);
    m_label.SetParent(this);
    m_label.SetEnabled(true);
    m_label.SetVisible(true);
    // Sized too, so that a font given after the size still fills the menu.
    SetSpacing(m_spacing);
}

void CMenu::SetIcon(const CGUI& control)
{
    m_icon.CopyFrom(control);
    m_icon.SetParent(this);
    m_icon.SetEnabled(false);
    m_icon.SetVisible(true);
}

CVector CMenu::HoverColour() const
{
    return gui_detail::HighlightColour(m_highlight);
}

void CMenu::SetHoverColour(const CVector& colour)
{
    gui_detail::SetHighlightColour(m_highlight, colour);
}

void CMenu::Draw()
{
    CGUI::Draw();
    if (IsVisible())
    {
        const float z = gui_detail::Depth(*this);
        if (m_icon.GetScale().x > 1.0f)
            gui_detail::DrawAt(m_icon, z + 1.0f);
        if (m_highlighted)
            gui_detail::DrawAt(m_highlight, z + 2.0f);
        gui_detail::DrawAt(m_label, z + 3.0f);
    }
    if (m_expanded || (IsItem() && m_highlighted))
        for (CMenu* item : m_items)
            item->Draw();
}

void CMenu::LoadAttributes(const CXMLNode& node)
{
    CGUI::LoadAttributes(node);
    if (node.GetAttribute("text"))
        m_label.SetText(node.GetAttributeString("text"));
    if (node.GetAttribute("spacing"))
        SetSpacing(static_cast<unsigned>(std::max(0, node.GetAttributeInt("spacing"))));
    for (unsigned i = 0; i < node.GetChildCount(); ++i)
        if (node.GetChild(i)->GetName() == "hover")
            gui_detail::ReadHighlight(m_highlight, *node.GetChild(i));
}
