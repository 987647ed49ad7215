// The progress bar: a background quad and an embedded bar that fills it from
// the left edge. The bar's texture is cut at the fill level, not squeezed.
// Driven by a percentage or by an integer value within [min, max].
#pragma once

#include "core/Signal.h"
#include "gui/GUI.h"

class CXMLNode;

class CProgress : public CGUI
{
public:
    CProgress();

    // The background, then the bar one unit nearer.
    void Draw() override;
    // From another progress bar also the fill, the range and the bar, whose
    // parent becomes this control.
    void CopyFrom(const CGUI& other) override;
    void LoadAttributes(const CXMLNode& node) override;
    // The sprite holds the background at frame i and the bar at i + 1.
    void SetSprite(CSprite& sprite) override;
    void ShowFrame(unsigned frame) override;

    // Clamped to 0..100.
    void SetPercent(float percent);
    float Percent() const { return m_percent; }
    // Clamped to [min, max]; ignored while the range is empty.
    void SetValue(unsigned value);
    unsigned GetValue() const { return m_value; }
    unsigned GetMin() const { return m_min; }
    unsigned GetMax() const { return m_max; }
    const CGUI& GetBar() const { return m_bar; }

    CSignal<float> PercentChanged;

private:
    void OnResized(float w, float h);
    void CutBarTexture();

    float m_percent = 0.0f;
    unsigned m_value = 0;
    unsigned m_min = 0;
    unsigned m_max = 0;
    CGUI m_bar;
};
