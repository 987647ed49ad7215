// A push button: four visual states, each a sprite frame (the base frame
// plus the state) and an optional colour, a caption drawn by an embedded
// font, and a press offset that makes it look pushed. Without a sprite the
// offset moves the button itself, with one only the caption.
#pragma once

#include "core/Vector.h"
#include "gui/Font.h"
#include "gui/GUI.h"

class CXMLNode;

class CButton : public CGUI
{
public:
    enum States : unsigned
    {
        Normal = 0,
        Hover = 1,
        Down = 2,
        Disabled = 3,
    };
    static constexpr unsigned StateCount = 4;

    CButton();

    // The button, then its caption one unit nearer.
    void Draw() override;
    // From another button also the offset, the caption with its font and
    // text, the state colours and the base frame; then the current state
    // is shown again.
    void CopyFrom(const CGUI& other) override;
    void LoadAttributes(const CXMLNode& node) override;
    // `frame` becomes the base frame; base + state is shown. `resize` takes
    // the base frame's size.
    void SetFrame(unsigned frame, bool resize) override;

    // A state past Disabled shows its frame but has no colour to take.
    void SetState(unsigned state);
    unsigned GetState() const { return m_state; }
    // The caption copies `font` and gets an empty text; null is ignored.
    void SetFont(const CFont* font);
    void SetText(const String& text) { m_caption.SetText(text); }
    // A colour with alpha 0 leaves the material alone in that state.
    void SetStateColour(unsigned state, const CVector& colour);
    bool IsChecked() const { return m_latched; }
    bool IsShifted() const { return m_shift != Shift::None; }
    unsigned GetBaseFrame() const { return m_baseFrame; }
    const CVector& GetOffset() const { return m_offset; }
    CFont& Caption() { return m_caption; }
    const CFont& Caption() const { return m_caption; }

protected:
    // The anchor the caption gets from SetFont: a button centres its text.
    virtual int CaptionAlign(const CFont& font) const;

    // A latched button ignores the mouse and stays down.
    bool m_latched = false;

private:
    // What the press offset moved, so that it is undone the same way.
    enum class Shift
    {
        None,
        Caption,
        Button,
    };

    void OnInput(CInputMap& event);
    void OnMouseOver();
    void OnMouseOut();
    void OnEnabledChanged(bool enabled);
    void OnResized(float w, float h);
    void ApplyOffset(unsigned state);
    // SetFont without emptying the text.
    void AdoptCaption(const CFont& font);
    float CaptionWidth(float buttonWidth) const;
    // Disabled, or Down while latched, else Normal.
    unsigned RestingState() const;

    unsigned m_state = Normal;
    unsigned m_baseFrame = 0;
    Shift m_shift = Shift::None;
    CFont m_caption;
    CVector m_offset;
    CVector m_stateColours[StateCount];
};
