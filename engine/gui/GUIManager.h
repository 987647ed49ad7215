// The owner of the top-level controls: finds them by name, routes the global
// mouse signal to the control under the pointer and the active one, and
// draws them once a frame. The list order is the priority: the first
// control is hit first and drawn last, on top. Keyboard events are not
// routed; controls that want keys connect to the keyboard signal themselves.
// The controls come from a GUI description: one element per control, built
// and appended in document order (GUILoader.cpp).
#pragma once

#include <memory>
#include <vector>

#include "core/Signal.h"
#include "core/String.h"

class CGUI;
class CInputMap;
class CMenu;
class CResourceManager;
class CXMLNode;

class CGUIManager
{
public:
    // Connects to the global mouse signal.
    CGUIManager();
    // Deletes the controls first to last.
    ~CGUIManager();
    CGUIManager(const CGUIManager&) = delete;
    CGUIManager& operator=(const CGUIManager&) = delete;

    // A description can ask for no more than this many elements in all, so
    // that a hostile file cannot make the loader take unbounded memory and
    // time (name look-ups are linear).
    static constexpr unsigned kMaxElements = 4096;
    // Menus nested deeper than this get no items: each level is a recursion.
    static constexpr unsigned kMaxMenuDepth = 16;

    // Reads the description file and builds the root's children. False, and
    // nothing built, when the file cannot be read, does not parse to its end
    // (a truncated file builds nothing, not a part of the panel) or holds
    // more than kMaxElements elements. Sprites are looked up in `resources`.
    bool Load(const String& path, const CResourceManager& resources);
    // Builds the children of `elements` as one sibling list, the first on
    // top, and appends them. Names in "font", "scroll" and "icon" (and a
    // menu's "parent") find only controls appended before, and only of the
    // kind the reference needs; other "parent" links are made after the
    // list, and never into a cycle. False, building nothing, past
    // kMaxElements.
    bool Build(const CXMLNode& elements, const CResourceManager& resources);
    // A new control for the element's tag with its "sprite" and "frame",
    // or null for a tag no control bears. Neither appended nor read further.
    static std::unique_ptr<CGUI> Create(const CResourceManager& resources, const CXMLNode& element);

    // Takes the control at the end of the list; safe inside a dispatch.
    CGUI* Append(std::unique_ptr<CGUI> control);
    // The first control so named, or null.
    CGUI* FindByName(const String& name) const;
    // The first control whose hit test takes the window point, or null.
    CGUI* ControlAt(int x, int y) const;
    // Last to first.
    void Draw();

    // The control the last press went to; null after a press on nothing.
    CGUI* GetActive() const { return m_active; }
    unsigned GetCount() const { return static_cast<unsigned>(m_controls.size()); }
    // Null when `index` is out of range.
    CGUI* GetControl(unsigned index) const;

    // Emitted by the description loader once per element it reads, with the
    // element's index and the element count, for a progress display.
    CSignal<const CXMLNode&, unsigned, unsigned> Loading;

private:
    void BuildList(const CXMLNode& elements, const CResourceManager& resources, unsigned depth);
    // Appends the menu at once, then its nested list at `depth` + 1.
    void BuildMenu(std::unique_ptr<CGUI> control, CMenu& menu, const CXMLNode& element,
                   const CResourceManager& resources, unsigned depth);
    void LinkParents(const CXMLNode& elements);

    void OnMouse(CInputMap& event);
    void OnRelease(CInputMap& event);
    void OnPress(CInputMap& event);
    void OnMove(CInputMap& event);

    std::vector<std::unique_ptr<CGUI>> m_controls;
    CGUI* m_active = nullptr; // not owned
    Connections m_connections;
};
