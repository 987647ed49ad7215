// A drop-down choice: an edit box showing the chosen text, a button that
// opens and closes a list of choices, and the list. While the list is open
// the combo's own size covers it, so that the manager routes the list's
// events to the combo, which hands them to the part under the pointer.
#pragma once

#include "core/Signal.h"
#include "core/String.h"
#include "gui/Button.h"
#include "gui/Edit.h"
#include "gui/GUI.h"
#include "gui/List.h"

class CXMLNode;

class CCombo : public CGUI
{
public:
    CCombo();

    // Edit box, button and list one unit nearer than the combo, whose own
    // quad is not drawn.
    void Draw() override;
    // From another combo also the dropped height and the three parts.
    void CopyFrom(const CGUI& other) override;
    // The dropped height is the element's "h"; the "edit", "button" and
    // "list" children are read by those parts; then the layout.
    void LoadAttributes(const CXMLNode& node) override;

    void AddItem(unsigned index, const String& text) { m_list.AddItem(index, text); }
    // A row that does not exist changes nothing and emits nothing.
    void SetSelected(int row);
    // The edit box shows the cell's text, the list closes, Selection; a row
    // that does not exist is ignored.
    void Select(int row, int column);
    // The first row whose first cell reads `text`; no match does nothing.
    void SelectByText(const String& text);
    void SetFont(const CFont* font);
    void SetScroll(const CScroll* scroll) { m_list.SetScroll(scroll); }
    // Button at the right end, list below the edit box filling the dropped
    // height; closes the list.
    void Layout();
    void SetDroppedHeight(float height) { m_dropped = height; }
    float GetDroppedHeight() const { return m_dropped; }
    bool IsOpen() const { return m_list.IsVisible(); }

    CEdit& Edit() { return m_edit; }
    CButton& Button() { return m_button; }
    CList& List() { return m_list; }

    CSignal<String&, int, int> Selection;

private:
    void OnInput(CInputMap& event);
    void OnFocusChanged(bool focus);
    void OnButtonClicked();
    void OnListVisible(bool visible);
    void Adopt();
    bool HasRow(int row) const;

    float m_dropped = 0.0f;
    CEdit m_edit;
    CButton m_button;
    CList m_list;
    CGUI* m_subFocus = nullptr; // one of the three parts
};
