// One entry of a menu tree: a labelled, optionally iconed quad that
// highlights under the pointer and shows its item menus. A top-level menu
// opens its items below itself on a click; an item opens its own items to
// its right while the pointer is on it; a click on an item closes the
// tree. Every menu of a tree is also a control of the manager, which owns
// it; the items list only points at them.
#pragma once

#include <vector>

#include "core/Vector.h"
#include "gui/Font.h"
#include "gui/GUI.h"

class CXMLNode;

class CMenu : public CGUI
{
public:
    CMenu();

    // The menu, its icon (when wider than a pixel), its highlight while
    // highlighted and its label, each nearer than the last; then its items
    // while open (expanded, or a highlighted item).
    void Draw() override;
    // "text" is the label, "spacing" the label's inset; child "hover" the
    // highlight's colour.
    void LoadAttributes(const CXMLNode& node) override;

    // Hides `item`, makes this menu its parent and appends it. Null, this
    // menu and its ancestors are refused.
    void AddItem(CMenu* item);
    // Shown: the first item beside this menu when it is an item itself,
    // else below it; the rest stacked at this menu's height. Hidden: the
    // items lose their highlight and hide their own items too.
    void ShowItems(bool show);
    // Hides the whole tree from its top menu, which stays highlighted (and
    // expanded) only while the pointer is on it.
    void CloseTree();
    // Visible, and the pointer on one of the items or, through an open
    // item, on one of theirs.
    bool ItemUnderCursor() const;

    void SetSpacing(unsigned spacing);
    // The label copies `font`, anchored middle-left; null is ignored.
    void SetFont(const CFont* font);
    // The icon copies `control`; it is not hit.
    void SetIcon(const CGUI& control);
    void SetText(const String& text) { m_label.SetText(text); }
    CVector HoverColour() const;
    void SetHoverColour(const CVector& colour);

    // The parent is a menu.
    bool IsItem() const;
    bool IsExpanded() const { return m_expanded; }
    bool IsHighlighted() const { return m_highlighted; }
    unsigned GetSpacing() const { return m_spacing; }
    const std::vector<CMenu*>& Items() const { return m_items; }
    CFont& Label() { return m_label; }

private:
    void OnClicked();
    void OnMouseOver();
    void OnMouseOut();
    void OnFocusChanged(bool focus);
    void OnResized(float w, float h);

    std::vector<CMenu*> m_items; // not owned
    CFont m_label;
    CGUI m_highlight;
    CGUI m_icon;
    unsigned m_spacing = 0;
    bool m_expanded = false;
    bool m_highlighted = false;
};
