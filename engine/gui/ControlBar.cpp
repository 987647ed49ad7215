// CControlBar: the buttons' places at the right end, the input they get and
// the screen drag read from the platform's cursor once a frame.

#include "gui/ControlBar.h"

#include <cassert>

#include "core/Matrix.h"
#include "gui/detail/Parts.h"
#include "shell/InputMap.h"

namespace
{

// Frame offsets of the buttons from the bar's frame; the second button's
// toggled frame.
constexpr unsigned ButtonFrames[CControlBar::ButtonCount] = {1, 9, 13};
constexpr unsigned ToggledFrame = 5;
constexpr float RightMargin = 2.0f;

} // namespace

CControlBar::CControlBar()
{
    m_typeCode = TypeControlBar;
    m_enabled = true;
    for (CButton& button : m_buttons)
        button.SetParent(this);
    ConnectSlot(m_connections, Resized, this, &CControlBar::OnResized);
    ConnectSlot(m_connections, Input, this, &CControlBar::OnInput);
    ConnectSlot(m_connections, Clicked, this, &CControlBar::OnClicked);
    ConnectSlot(m_connections, m_buttons[1].Clicked, this, &CControlBar::OnToggle);
}

CButton& CControlBar::Button(unsigned index)
{
    assert(index < ButtonCount && "CControlBar::Button(): index out of range");
    return m_buttons[index < ButtonCount ? index : ButtonCount - 1];
}

// Right to left from the bar's right end, each centred on the bar's height.
// The buttons are the bar's children: their places are relative to it.
void CControlBar::Layout(float w, float h)
{
    float right = w - RightMargin;
    for (unsigned i = ButtonCount; i-- > 0;)
    {
        CButton& button = m_buttons[i];
        const CVector size = button.GetScale();
        right -= size.x;
        gui_detail::Place(button, right, h / 2.0f - size.y / 2.0f);
        button.GetTransform().Set(CMatrix::TranslationZ, 0.0f);
    }
}

void CControlBar::OnResized(float w, float h)
{
    Layout(w, h);
}

CButton* CControlBar::ButtonAt(int x, int y)
{
    for (CButton& button : m_buttons)
        if (button.Contains(x, y))
            return &button;
    return nullptr;
}

// press    -> the button under the pointer gets it and is the pressed one
// release  -> the pressed button gets it; it stays pressed only while the
//             pointer is on it
// then, with no button pressed, the left button starts (press) or ends
// (release) a screen drag, unless the bar itself is moveable
void CControlBar::OnInput(CInputMap& event)
{
    const int x = static_cast<int>(event.Position.x);
    const int y = static_cast<int>(event.Position.y);
    if (event.Action == CInputMap::Press)
    {
        m_pressed = ButtonAt(x, y);
        if (m_pressed)
            m_pressed->Input.Emit(event);
    }
    else if (event.Action == CInputMap::Release && m_pressed)
    {
        m_pressed->Input.Emit(event);
        if (!m_pressed->Contains(x, y))
            m_pressed = nullptr;
    }
    if (m_moveable || m_pressed || !m_windowDrag || event.Code != CInputMap::Left)
        return;
    if (event.Action == CInputMap::Press)
    {
        const CVector cursor = GetCursorScreenPosition();
        m_screenDrag = true;
        m_anchorX = static_cast<int>(cursor.x);
        m_anchorY = static_cast<int>(cursor.y);
    }
    else if (event.Action == CInputMap::Release)
        m_screenDrag = false;
}

void CControlBar::OnClicked()
{
    if (m_pressed)
        m_pressed->Clicked.Emit();
}

void CControlBar::OnToggle()
{
    m_toggled = !m_toggled;
    m_buttons[0].SetEnabled(!m_toggled);
    m_buttons[1].ShowFrame(m_frame + (m_toggled ? ToggledFrame : ButtonFrames[1]));
}

bool CControlBar::Contains(int x, int y)
{
    for (CButton& button : m_buttons)
    {
        if (!button.IsEnabled() || !button.IsVisible())
            continue;
        if (button.Contains(x, y))
            button.MouseOver.Emit();
        else
            button.MouseOut.Emit();
    }
    return CGUI::Contains(x, y);
}

void CControlBar::Draw()
{
    CGUI::Draw();
    const float z = gui_detail::Depth(*this) + 1.0f;
    for (CButton& button : m_buttons)
        gui_detail::DrawAt(button, z);
    ReportDrag();
}

void CControlBar::ReportDrag()
{
    if (m_moveable || !m_screenDrag || m_pressed)
        return;
    const CVector cursor = GetCursorScreenPosition();
    const int x = static_cast<int>(cursor.x), y = static_cast<int>(cursor.y);
    const int dx = x - m_anchorX, dy = y - m_anchorY;
    m_anchorX = x;
    m_anchorY = y;
    WindowDragged.Emit(dx, dy);
}

void CControlBar::SetSprite(CSprite& sprite)
{
    for (CButton& button : m_buttons)
        button.SetSprite(sprite);
    CGUI::SetSprite(sprite);
}

void CControlBar::ShowFrame(unsigned frame)
{
    for (unsigned i = 0; i < ButtonCount; ++i)
        m_buttons[i].SetFrame(frame + ButtonFrames[i], true);
    CGUI::SetFrame(frame, false);
    const CVector size = GetScale();
    Layout(size.x, size.y);
}
