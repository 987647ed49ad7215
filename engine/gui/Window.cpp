// CWindow: layout of the parts and the input that decides whether a press
// drags the window. The drag slot (connected by SetMoveable before this
// class's own Input handler) has run by the time OnInput sees a press, so
// OnInput only takes back a drag that did not start on the title bar.

#include "gui/Window.h"

#include "core/XML.h"
#include "gui/detail/Parts.h"

CWindow::CWindow()
{
    m_typeCode = TypeWindow;
    m_enabled = true;
    m_titleBar.SetEnabled(true);
    Adopt();
    SetMoveable(true);
    ConnectSlot(m_connections, Resized, this, &CWindow::OnResized);
    ConnectSlot(m_connections, Input, this, &CWindow::OnInput);
    ConnectSlot(m_connections, Clicked, this, &CWindow::OnClicked);
}

void CWindow::Adopt()
{
    m_titleBar.SetParent(this);
    m_title.SetParent(this);
    m_close.SetParent(this);
}

void CWindow::Draw()
{
    CGUI::Draw();
    if (!IsVisible())
        return;
    const float z = gui_detail::Depth(*this);
    gui_detail::DrawAt(m_titleBar, z + 1.0f);
    gui_detail::DrawAt(m_title, z + 2.0f);
    gui_detail::DrawAt(m_close, z + 2.0f);
}

void CWindow::CopyFrom(const CGUI& other)
{
    if (&other == this)
        return;
    CGUI::CopyFrom(other);
    const auto* window = dynamic_cast<const CWindow*>(&other);
    if (!window)
        return;
    m_titleBar.CopyFrom(window->m_titleBar);
    m_title.CopyFrom(window->m_title);
    m_close.CopyFrom(window->m_close);
    Adopt();
    m_pressed = nullptr;
    Layout();
}

void CWindow::LoadAttributes(const CXMLNode& node)
{
    CGUI::LoadAttributes(node);
    if (node.GetAttribute("text"))
        m_title.SetText(node.GetAttributeString("text"));
    for (unsigned i = 0; i < node.GetChildCount(); ++i)
    {
        const CXMLNode& child = *node.GetChild(i);
        if (child.GetName() == "gui")
            m_titleBar.LoadAttributes(child);
        else if (child.GetName() == "font")
            m_title.LoadAttributes(child);
        else if (child.GetName() == "button")
            m_close.LoadAttributes(child);
    }
    Layout();
}

void CWindow::SetFont(const CFont* font)
{
    if (!font)
        return;
    m_title.CopyFrom(*font);
    m_title.SetParent(this);
    m_title.SetRawText(String());
    gui_detail::Place(m_title, 0.0f, 0.0f);
    Layout();
}

void CWindow::Layout()
{
    const float width = GetScale().x;
    const float barHeight = m_titleBar.GetScale().y;
    m_titleBar.SetSize(width, barHeight);
    m_title.SetSize(width, barHeight);
    const CVector close = m_close.GetScale();
    m_close.SetPosition(width - close.x - 2.0f, barHeight / 2.0f - close.y / 2.0f);
}

void CWindow::OnResized(float, float)
{
    Layout();
}

// move     -> the close button hears whether the pointer is on it
// press    -> on the close button: it gets the press and is the pressed
//             part; the window drags only when the press is on the bar
//             and not on the close button
// release  -> the pressed close button gets it, and stays pressed only
//             while the pointer is on it (so Clicked reaches it then)
void CWindow::OnInput(CInputMap& event)
{
    const int x = static_cast<int>(event.Position.x);
    const int y = static_cast<int>(event.Position.y);
    switch (event.Action)
    {
    case CInputMap::Move:
        if (m_close.Contains(x, y))
            m_close.MouseOver.Emit();
        else
            m_close.MouseOut.Emit();
        break;
    case CInputMap::Press:
        m_pressed = m_close.Contains(x, y) ? &m_close : nullptr;
        if (m_pressed)
            m_pressed->Input.Emit(event);
        // Kept only when the drag slot started it: a press with another
        // button has no anchor to drag from.
        m_dragging = m_dragging && !m_pressed && m_titleBar.Contains(x, y);
        break;
    case CInputMap::Release:
        if (m_pressed)
        {
            m_pressed->Input.Emit(event);
            if (!m_pressed->Contains(x, y))
                m_pressed = nullptr;
        }
        break;
    default:
        break;
    }
}

void CWindow::OnClicked()
{
    if (m_pressed)
        m_pressed->Clicked.Emit();
}
