// CScroll: layout of the parts, the value <-> thumb mapping both ways, and
// the routing of the bar's input to the part that was pressed. The bar
// places its parts through their transforms, which emits nothing: only a
// drag (or a caller) moving the thumb reaches OnThumbMoved, and placing the
// thumb from there cannot call it again.

#include "gui/Scroll.h"

#include <algorithm>

#include "core/Matrix.h"
#include "core/XML.h"
#include "gui/detail/Parts.h"

namespace
{

// Frame offsets of the parts from the bar's frame.
constexpr unsigned ThumbFrame = 1;
constexpr unsigned DecrementFrame = 5;
constexpr unsigned IncrementFrame = 9;

using gui_detail::Place;

// `value` within [low, high], low for NaN; high never below low.
float Clamp(float value, float low, float high)
{
    if (!(value > low))
        return low;
    return value > high ? std::max(low, high) : value;
}

} // namespace

CScroll::CScroll()
{
    m_typeCode = TypeScroll;
    m_enabled = true;
    for (CButton* part : {&m_thumb, &m_decrement, &m_increment})
        part->SetParent(this);
    m_thumb.SetMoveable(true);
    ConnectSlot(m_connections, Resized, this, &CScroll::OnResized);
    ConnectSlot(m_connections, m_thumb.Moved, this, &CScroll::OnThumbMoved);
    ConnectSlot(m_connections, Input, this, &CScroll::OnInput);
    ConnectSlot(m_connections, Clicked, this, &CScroll::OnClicked);
    ConnectSlot(m_connections, m_decrement.Clicked, this, &CScroll::StepDown);
    ConnectSlot(m_connections, m_increment.Clicked, this, &CScroll::StepUp);
}

float CScroll::Length(const CGUI& control) const
{
    const CVector size = control.GetScale();
    return m_vertical ? size.y : size.x;
}

float CScroll::Track() const
{
    const float track = Length(*this) - Length(m_decrement) - Length(m_increment) - Length(m_thumb);
    return track > 0.0f ? track : 0.0f;
}

float CScroll::ThumbStart() const
{
    const float fraction = m_max > m_min ? (m_value - m_min) / (m_max - m_min) : 0.0f;
    return Length(m_decrement) + fraction * Track();
}

void CScroll::PlaceThumb()
{
    const float start = ThumbStart();
    Place(m_thumb, m_vertical ? 0.0f : start, m_vertical ? start : 0.0f);
}

// Decrement at the start, increment at the end, thumb where the value is.
void CScroll::Layout()
{
    const CVector size = GetScale();
    const float thickness = m_vertical ? size.x : size.y;
    for (CButton* part : {&m_thumb, &m_decrement, &m_increment})
        if (!part->GetSprite().GetFrame(part->GetBaseFrame()))
            part->SetSize(thickness, thickness);
    Place(m_decrement, 0.0f, 0.0f);
    const float end = Length(*this) - Length(m_increment);
    Place(m_increment, m_vertical ? 0.0f : end, m_vertical ? end : 0.0f);
    PlaceThumb();
}

void CScroll::OnResized(float, float)
{
    Layout();
}

void CScroll::SetValue(float value)
{
    if (!(value > m_min) || !(m_max > m_min))
        value = m_min;
    else if (value > m_max)
        value = m_max;
    m_value = value;
    PlaceThumb();
    ValueChanged.Emit(m_value);
}

void CScroll::SetMinimum(float minimum)
{
    m_min = minimum;
    SetValue(m_value);
}

void CScroll::SetMaximum(float maximum)
{
    m_max = maximum;
    SetValue(m_value);
}

void CScroll::SetVertical(bool vertical)
{
    m_vertical = vertical;
    Layout();
}

void CScroll::StepUp()
{
    SetValue(m_value + 1.0f);
    SteppedUp.Emit(m_value);
}

void CScroll::StepDown()
{
    SetValue(m_value - 1.0f);
    SteppedDown.Emit(m_value);
}

// A drag step: the thumb stays on the track across it, the other axis at 0,
// and the value follows the thumb's place on the track. With an empty range
// the thumb stays at the start, where the value puts it.
void CScroll::OnThumbMoved(float x, float y)
{
    const float low = Length(m_decrement);
    const float high = Length(*this) - Length(m_thumb) - Length(m_increment);
    const bool range = m_max > m_min;
    const float along = range ? Clamp(m_vertical ? y : x, low, high) : low;
    const float track = Track();
    const float fraction = track > 0.0f ? (along - low) / track : 0.0f;
    m_value = range ? m_min + fraction * (m_max - m_min) : m_min;
    Place(m_thumb, m_vertical ? 0.0f : along, m_vertical ? along : 0.0f);
    ValueChanged.Emit(m_value);
}

CButton* CScroll::PartAt(int x, int y)
{
    for (CButton* part : {&m_thumb, &m_decrement, &m_increment})
        if (part->Contains(x, y))
            return part;
    return nullptr;
}

// press    -> the part under the pointer gets it and becomes the pressed part
// wheel    -> toward the user (negative) steps up, else down
// release  -> the pressed part gets it; it stays pressed only while the
//             pointer is still on it, so Clicked reaches it only then
// others   -> the thumb, while it is the pressed part (its drag)
void CScroll::OnInput(CInputMap& event)
{
    const int x = static_cast<int>(event.Position.x);
    const int y = static_cast<int>(event.Position.y);
    switch (event.Action)
    {
    case CInputMap::Press:
        m_pressed = PartAt(x, y);
        if (m_pressed)
            m_pressed->Input.Emit(event);
        break;
    case CInputMap::Wheel:
        if (event.Key < 0)
            StepUp();
        else
            StepDown();
        break;
    case CInputMap::Release:
        if (CButton* part = m_pressed)
        {
            part->Input.Emit(event);
            if (!part->Contains(x, y))
                m_pressed = nullptr;
        }
        break;
    default:
        if (m_pressed == &m_thumb)
            m_thumb.Input.Emit(event);
        break;
    }
}

void CScroll::OnClicked()
{
    if (m_pressed)
        m_pressed->Clicked.Emit();
}

bool CScroll::Contains(int x, int y)
{
    for (CButton* part : {&m_thumb, &m_decrement, &m_increment})
    {
        if (!part->IsVisible())
            continue;
        if (part->Contains(x, y))
            part->MouseOver.Emit();
        else
            part->MouseOut.Emit();
    }
    return CGUI::Contains(x, y);
}

void CScroll::Draw()
{
    CGUI::Draw();
    if (!IsVisible())
        return;
    const float z = GetTransform().Get(CMatrix::TranslationZ) + 1.0f;
    for (CButton* part : {&m_thumb, &m_decrement, &m_increment})
    {
        part->GetTransform().Set(CMatrix::TranslationZ, z);
        part->Draw();
    }
}

void CScroll::SetSprite(CSprite& sprite)
{
    CGUI::SetSprite(sprite);
    for (CButton* part : {&m_thumb, &m_decrement, &m_increment})
        part->SetSprite(sprite);
    ShowFrame(0);
}

void CScroll::ShowFrame(unsigned frame)
{
    CGUI::SetFrame(frame, false);
    m_thumb.SetFrame(frame + ThumbFrame, true);
    m_decrement.SetFrame(frame + DecrementFrame, true);
    m_increment.SetFrame(frame + IncrementFrame, true);
    if (const SpriteFrame* thumb = m_thumb.GetSprite().GetFrame(frame + ThumbFrame))
    {
        const CVector size = GetScale();
        if (m_vertical)
            SetScale(static_cast<float>(thumb->w), size.y, size.z);
        else
            SetScale(size.x, static_cast<float>(thumb->h), size.z);
    }
    // The parts may have changed size: the old places no longer fit.
    Layout();
}

void CScroll::CopyFrom(const CGUI& other)
{
    if (&other == this)
        return;
    CGUI::CopyFrom(other);
    const auto* scroll = dynamic_cast<const CScroll*>(&other);
    if (!scroll)
        return;
    m_vertical = scroll->m_vertical;
    m_value = scroll->m_value;
    m_min = scroll->m_min;
    m_max = scroll->m_max;
    m_pressed = nullptr;
    m_thumb.CopyFrom(scroll->m_thumb);
    m_decrement.CopyFrom(scroll->m_decrement);
    m_increment.CopyFrom(scroll->m_increment);
    // The copied parts still name the source as their parent.
    for (CButton* part : {&m_thumb, &m_decrement, &m_increment})
        part->SetParent(this);
    m_thumb.SetMoveable(true);
}

void CScroll::LoadAttributes(const CXMLNode& node)
{
    CGUI::LoadAttributes(node);
    if (node.GetAttribute("vertical"))
        SetVertical(node.GetAttributeBool("vertical"));
    if (node.GetAttribute("min"))
        SetMinimum(node.GetAttributeFloat("min"));
    if (node.GetAttribute("max"))
        SetMaximum(node.GetAttributeFloat("max"));
}
