// A vertical or horizontal scroll bar: a background quad with three embedded
// buttons, a draggable thumb between a decrement button at the start and an
// increment button at the end. It holds a value in [min, max], changed by
// dragging the thumb, by the buttons (steps of 1) and by the wheel.
#pragma once

#include "core/Signal.h"
#include "gui/Button.h"
#include "gui/GUI.h"

class CXMLNode;

class CScroll : public CGUI
{
public:
    // Vertical, value, min and max 0.
    CScroll();

    // The background, then thumb, decrement and increment one unit nearer.
    void Draw() override;
    // From another scroll bar also the orientation, the range, the value
    // and the three buttons, which stay this bar's parts.
    void CopyFrom(const CGUI& other) override;
    void LoadAttributes(const CXMLNode& node) override;
    // Also tells each part whether the pointer is over it, so that the
    // parts show their hover state.
    bool Contains(int x, int y) override;
    // The bar and its three parts take the sprite; then frame 0 is shown.
    void SetSprite(CSprite& sprite) override;
    // Frame i for the bar, i + 1 the thumb, i + 5 the decrement and i + 9
    // the increment button (each adds its state); parts take their frame's
    // size and the bar's thickness follows the thumb's frame.
    void ShowFrame(unsigned frame) override;

    // Clamped to [min, max] (min when max is not above it); places the
    // thumb and emits ValueChanged, also when the value stays.
    void SetValue(float value);
    float Value() const { return m_value; }
    void SetMinimum(float minimum);
    void SetMaximum(float maximum);
    float GetMinimum() const { return m_min; }
    float GetMaximum() const { return m_max; }
    void SetVertical(bool vertical);
    bool IsVertical() const { return m_vertical; }
    // One up (+1) or down (-1), clamped; emits SteppedUp or SteppedDown
    // after ValueChanged.
    void StepUp();
    void StepDown();

    // The parts, for their colours and sizes. A part without a sprite frame
    // is a square as thick as the bar.
    CButton& Thumb() { return m_thumb; }
    CButton& Decrement() { return m_decrement; }
    CButton& Increment() { return m_increment; }
    const CButton& Thumb() const { return m_thumb; }
    const CButton& Decrement() const { return m_decrement; }
    const CButton& Increment() const { return m_increment; }

    CSignal<float> SteppedUp;
    CSignal<float> SteppedDown;
    CSignal<float> ValueChanged;

private:
    void OnResized(float w, float h);
    void OnThumbMoved(float x, float y);
    void OnInput(CInputMap& event);
    void OnClicked();
    void Layout();
    // Along the bar's axis.
    float Length(const CGUI& control) const;
    // Between the buttons, minus the thumb; 0 when they fill the bar.
    float Track() const;
    // Where the value puts the thumb along the bar.
    float ThumbStart() const;
    void PlaceThumb();
    CButton* PartAt(int x, int y);

    bool m_vertical = true;
    float m_value = 0.0f;
    float m_min = 0.0f;
    float m_max = 0.0f;
    CButton* m_pressed = nullptr; // one of the three parts
    CButton m_thumb;
    CButton m_decrement;
    CButton m_increment;
};
