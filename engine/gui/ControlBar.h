// A bar with three buttons at its right end, for a borderless application
// window: pressed outside its buttons it reports, once a frame, how far the
// pointer moved on the screen (WindowDragged). The second button toggles
// between two frames and disables the first while toggled. What the
// buttons and the drag do to the window is up to the application.
#pragma once

#include "core/Signal.h"
#include "gui/Button.h"
#include "gui/GUI.h"

class CControlBar : public CGUI
{
public:
    static constexpr unsigned ButtonCount = 3;

    CControlBar();

    // The bar, the buttons one unit nearer; then, during a screen drag,
    // WindowDragged with the pointer's screen movement since the last one.
    void Draw() override;
    // Also tells each enabled, visible button whether the pointer is on it.
    bool Contains(int x, int y) override;
    // The buttons, then the bar, take the sprite.
    void SetSprite(CSprite& sprite) override;
    // Frame i for the bar; i + 1, i + 9 and i + 13 for the buttons, which
    // take their frame's size and are laid out again.
    void ShowFrame(unsigned frame) override;

    // During a screen drag with no button held: WindowDragged with the
    // cursor's screen movement since the last report. Draw calls it.
    void ReportDrag();
    // Off: presses outside the buttons report no movement.
    void SetWindowDrag(bool drag) { m_windowDrag = drag; }
    bool IsScreenDragging() const { return m_screenDrag; }
    bool IsToggled() const { return m_toggled; }
    // 0..2 from the left.
    CButton& Button(unsigned index);

    CSignal<int, int> WindowDragged;

private:
    void Layout(float w, float h);
    void OnResized(float w, float h);
    void OnInput(CInputMap& event);
    void OnClicked();
    void OnToggle();
    CButton* ButtonAt(int x, int y);

    bool m_windowDrag = true;
    CButton m_buttons[ButtonCount];
    CButton* m_pressed = nullptr; // one of m_buttons
    bool m_screenDrag = false;
    int m_anchorX = 0;
    int m_anchorY = 0;
    bool m_toggled = false;
};
