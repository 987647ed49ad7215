// CCheckBox: the toggle on Clicked and the hit test that takes the caption.

#include "gui/CheckBox.h"

CCheckBox::CCheckBox()
{
    m_typeCode = TypeCheckBox;
    ConnectSlot(m_connections, Clicked, this, &CCheckBox::OnClicked);
}

bool CCheckBox::Contains(int x, int y)
{
    return CGUI::Contains(x, y) || Caption().Contains(x, y);
}

void CCheckBox::SetChecked(bool checked)
{
    m_latched = checked;
    if (checked)
        SetState(Down);
    else
        SetState(m_enabled ? Normal : Disabled);
}

int CCheckBox::CaptionAlign(const CFont& font) const
{
    return font.GetAlign();
}

void CCheckBox::OnClicked()
{
    SetChecked(!m_latched);
}
