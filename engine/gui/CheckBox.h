// A button that latches: each click toggles the checked flag, and the box
// stays shown down while checked. Its caption counts as part of it, so a
// click on the text toggles the box too.
#pragma once

#include "gui/Button.h"

class CCheckBox : public CButton
{
public:
    // Connects the toggle to Clicked first, so every handler connected
    // later already sees the new value.
    CCheckBox();

    // The box's own area or its caption's.
    bool Contains(int x, int y) override;

    // Down when checked; Normal when not, or Disabled while disabled.
    void SetChecked(bool checked);

protected:
    // The caption keeps the font's own anchor.
    int CaptionAlign(const CFont& font) const override;

private:
    void OnClicked();
};
