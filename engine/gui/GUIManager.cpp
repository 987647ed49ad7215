// CGUIManager: the mouse dispatch. Controls are walked by index and the
// count is read again on every step, so a handler may append controls while
// a dispatch runs.

#include "gui/GUIManager.h"

#include <cassert>

#include "gui/GUI.h"
#include "shell/InputMap.h"

CGUIManager::CGUIManager()
{
    ConnectSlot(m_connections, GetMouseSignal(), this, &CGUIManager::OnMouse);
}

CGUIManager::~CGUIManager()
{
    // No more events while the controls go.
    m_connections.Clear();
    m_active = nullptr;
    for (auto& control : m_controls)
        control.reset();
    m_controls.clear();
}

CGUI* CGUIManager::Append(std::unique_ptr<CGUI> control)
{
    assert(control && "CGUIManager::Append(): null control");
    m_controls.push_back(std::move(control));
    return m_controls.back().get();
}

CGUI* CGUIManager::FindByName(const String& name) const
{
    for (const auto& control : m_controls)
        if (control->Name() == name)
            return control.get();
    return nullptr;
}

CGUI* CGUIManager::ControlAt(int x, int y) const
{
    for (size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i]->Contains(x, y))
            return m_controls[i].get();
    return nullptr;
}

CGUI* CGUIManager::GetControl(unsigned index) const
{
    return index < m_controls.size() ? m_controls[index].get() : nullptr;
}

void CGUIManager::Draw()
{
    for (size_t i = m_controls.size(); i-- > 0;)
        m_controls[i]->Draw();
}

// kind          active control gets       then
// release       Input                     Clicked when the pointer is inside it
// press         (the control under the pointer becomes active; focus moves)
//               Input, Pressed
// double click  Input, DoubleClicked
// move          Input                     MouseOver to the first enabled, visible
//                                         control under the pointer, MouseOut to
//                                         every other enabled, visible one
// wheel         Input
void CGUIManager::OnMouse(CInputMap& event)
{
    switch (event.Action)
    {
    case CInputMap::Release:
        OnRelease(event);
        break;
    case CInputMap::Press:
        OnPress(event);
        break;
    case CInputMap::DoubleClick:
        if (CGUI* active = m_active)
        {
            active->Input.Emit(event);
            active->DoubleClicked.Emit();
        }
        break;
    case CInputMap::Move:
        OnMove(event);
        break;
    default:
        if (m_active)
            m_active->Input.Emit(event);
        break;
    }
}

void CGUIManager::OnRelease(CInputMap& event)
{
    CGUI* active = m_active;
    if (!active)
        return;
    active->Input.Emit(event);
    if (active->Contains(static_cast<int>(event.Position.x), static_cast<int>(event.Position.y)))
        active->Clicked.Emit();
}

void CGUIManager::OnPress(CInputMap& event)
{
    CGUI* pressed =
        ControlAt(static_cast<int>(event.Position.x), static_cast<int>(event.Position.y));
    CGUI* previous = m_active;
    m_active = pressed;
    if (previous && previous != pressed)
        previous->SetFocus(false);
    if (!pressed)
        return;
    if (pressed != previous)
        pressed->SetFocus(true);
    pressed->Input.Emit(event);
    pressed->Pressed.Emit();
}

void CGUIManager::OnMove(CInputMap& event)
{
    if (CGUI* active = m_active)
        active->Input.Emit(event);
    const int x = static_cast<int>(event.Position.x);
    const int y = static_cast<int>(event.Position.y);
    bool over = false;
    for (size_t i = 0; i < m_controls.size(); ++i)
    {
        CGUI& control = *m_controls[i];
        if (!control.IsEnabled() || !control.IsVisible())
            continue;
        if (!over && control.Contains(x, y))
        {
            over = true;
            control.MouseOver.Emit();
        }
        else
            control.MouseOut.Emit();
    }
}
