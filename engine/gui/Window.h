// A draggable panel with a title bar, a title and a close button. Only a
// press on the title bar (not on the close button) drags it; the close
// button's Clicked is for the window's owner to connect to.
#pragma once

#include "gui/Button.h"
#include "gui/Font.h"
#include "gui/GUI.h"

class CXMLNode;

class CWindow : public CGUI
{
public:
    // Moveable.
    CWindow();

    // The panel, the title bar one unit nearer, title and close button two.
    void Draw() override;
    // From another window also the title bar, the title and the close
    // button.
    void CopyFrom(const CGUI& other) override;
    // "text" is the title; children "gui", "font" and "button" are read by
    // the title bar, the title and the close button; then the layout.
    void LoadAttributes(const CXMLNode& node) override;

    // The title copies `font` with an empty text; null is ignored.
    void SetFont(const CFont* font);
    void SetTitle(const String& text) { m_title.SetText(text); }
    // The title bar spans the width, the title fills it, the close button
    // sits 2 pixels from its right end, centred on it.
    void Layout();

    CGUI& TitleBar() { return m_titleBar; }
    CFont& Title() { return m_title; }
    CButton& CloseButton() { return m_close; }

private:
    void Adopt();
    void OnResized(float w, float h);
    void OnInput(CInputMap& event);
    void OnClicked();

    CGUI m_titleBar;
    CFont m_title;
    CButton m_close;
    CButton* m_pressed = nullptr; // the close button or none
};
