// The base of every control: a lit, textured unit quad in window pixels that
// shows one sprite frame, nests under a parent, can be dragged, and reports
// its changes through signals. It also reads the attributes and child
// elements every control's description element shares.
#pragma once

#include "core/Signal.h"
#include "core/String.h"
#include "core/Vector.h"
#include "render/Quad.h"
#include "render/Sprite.h"
#include "shell/InputMap.h"

class CXMLNode;

class CGUI : public CQuad
{
public:
    enum TypeCodes : int
    {
        TypeGUI = 0,
        TypeButton = 1,
        TypeCheckBox = 2,
        TypeCombo = 3,
        TypeControlBar = 4,
        TypeEdit = 5,
        TypeFont = 6,
        TypeFrame = 7,
        TypeList = 8,
        TypeMenu = 9,
        TypeProgress = 10,
        TypeScroll = 11,
        TypeWindow = 14,
    };

    CGUI();
    ~CGUI() override;
    CGUI(const CGUI&) = delete;
    CGUI& operator=(const CGUI&) = delete;

    // Relative to the parent, and only while it and every ancestor are shown.
    void Draw() override;
    // The one copy every control overrides: each class calls its base, then
    // takes its own fields when `other` is of its kind. Copies everything
    // but the signals, their connections and the type code; the sprite is
    // re-bound to this control's own material. A self-copy does nothing.
    virtual void CopyFrom(const CGUI& other);
    virtual void LoadAttributes(const CXMLNode& node);
    // Window pixels; false while this control or an ancestor is disabled or
    // hidden. Bounds are inclusive.
    virtual bool Contains(int x, int y);
    virtual bool ContainsCursor();
    // Gives the material a texture stage when it has none; shows frame 0.
    virtual void SetSprite(CSprite& sprite);
    // With `resize`, takes the frame's pixel size when the frame exists.
    virtual void SetFrame(unsigned frame, bool resize);
    virtual void ShowFrame(unsigned frame);

    // These emit their signal even when the value does not change.
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);
    void SetFocus(bool focus);
    void SetMoveable(bool moveable);
    void SetPosition(float x, float y);
    void SetSize(float w, float h);
    // 0..8, row by row from the top-left: which point of the quad sits at
    // the position. Other values are ignored; valid ones reach ApplyAlign.
    void SetAlign(int align);
    // A parent that is this control or one of its descendants is refused:
    // the relative look-ups would never end.
    bool SetParent(CGUI* parent);

    CGUI* GetParent() const { return m_parent; }
    const String& Name() const { return m_name; }
    void SetName(const String& name) { m_name = name; }
    int TypeCode() const { return m_typeCode; }
    int GetAlign() const { return m_align; }
    unsigned GetFrame() const { return m_frame; }
    const CSprite& GetSprite() const { return m_sprite; }
    bool IsMoveable() const { return m_moveable; }
    bool HasFocus() const { return m_focus; }
    bool IsDragging() const { return m_dragging; }
    bool IsDragMoved() const { return m_dragMoved; }
    // Own flag and every ancestor's.
    bool IsEnabled() const;
    bool IsVisible() const;
    // (x, y, depth); the size is the shape's scale.
    CVector GetPosition() const;
    CVector GetSize() const { return GetScale(); }
    CVector AbsolutePosition() const;

    CSignal<CInputMap&> Input;
    CSignal<> MouseOver;
    CSignal<> MouseOut;
    CSignal<bool> FocusChanged;
    CSignal<bool> EnabledChanged;
    CSignal<bool> VisibleChanged;
    CSignal<float, float> Moved;
    CSignal<float, float> DragEnded;
    CSignal<float, float> Resized;
    CSignal<> Pressed;
    CSignal<> Clicked;
    CSignal<> DoubleClicked;

protected:
    // Moves the quad's corners so that the anchor sits at the position. A
    // control that places its content by the anchor instead overrides it.
    virtual void ApplyAlign(int align);
    void OnDrag(CInputMap& event);

    String m_name;
    bool m_dragMoved = false;
    bool m_moveable = false;
    bool m_enabled = false;
    bool m_visible = true;
    bool m_focus = false;
    bool m_dragging = false;
    unsigned m_frame = 0;
    int m_typeCode = TypeGUI;
    CSprite m_sprite;
    CGUI* m_parent = nullptr; // not owned
    int m_align = 0;
    CVector m_dragAnchor;
    CSlot<CGUI, CInputMap&> m_dragSlot;
    Connections m_connections;
};
