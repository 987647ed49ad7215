// The owner of the top-level controls: finds them by name, routes the global
// mouse signal to the control under the pointer and the active one, and
// draws them once a frame. The list order is the priority: the first
// control is hit first and drawn last, on top. Keyboard events are not
// routed; controls that want keys connect to the keyboard signal themselves.
#pragma once

#include <memory>
#include <vector>

#include "core/Signal.h"
#include "core/String.h"

class CGUI;
class CInputMap;
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
    void OnMouse(CInputMap& event);
    void OnRelease(CInputMap& event);
    void OnPress(CInputMap& event);
    void OnMove(CInputMap& event);

    std::vector<std::unique_ptr<CGUI>> m_controls;
    CGUI* m_active = nullptr; // not owned
    Connections m_connections;
};
