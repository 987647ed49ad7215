// CButton: the state machine, the state frames and colours, the press
// offset and the caption that follows the button's size.

#include "gui/Button.h"

#include <cassert>

#include "core/Matrix.h"
#include "core/XML.h"

namespace
{

constexpr int CentreAlign = 4;
// "text" alone pushes by this much while pressed.
constexpr float TextOffset = 2.0f;

const char* const StateTags[CButton::StateCount] = {"enable", "hover", "down", "disable"};

// Absent components are 0, alpha included: such a colour changes nothing.
CVector ReadStateColour(const CXMLNode& node)
{
    return CVector(node.GetAttributeFloat("r"), node.GetAttributeFloat("g"),
                   node.GetAttributeFloat("b"), node.GetAttributeFloat("a"));
}

} // namespace

CButton::CButton()
{
    m_typeCode = TypeButton;
    m_enabled = true;
    m_caption.SetParent(this);
    ConnectSlot(m_connections, Input, this, &CButton::OnInput);
    ConnectSlot(m_connections, MouseOver, this, &CButton::OnMouseOver);
    ConnectSlot(m_connections, MouseOut, this, &CButton::OnMouseOut);
    ConnectSlot(m_connections, EnabledChanged, this, &CButton::OnEnabledChanged);
    ConnectSlot(m_connections, Resized, this, &CButton::OnResized);
    // A caption sized from outside still keeps the offset's width. Only its
    // Resized is followed: its enabling says nothing about the button's.
    ConnectSlot(m_connections, m_caption.Resized, this, &CButton::OnResized);
}

int CButton::CaptionAlign(const CFont&) const
{
    return CentreAlign;
}

void CButton::Draw()
{
    CGUI::Draw();
    if (!IsVisible() || m_caption.Text().GetLength() == 0)
        return;
    m_caption.GetTransform().Set(CMatrix::TranslationZ,
                                 GetTransform().Get(CMatrix::TranslationZ) + 1.0f);
    m_caption.Draw();
}

void CButton::CopyFrom(const CGUI& other)
{
    if (&other == this)
        return;
    CGUI::CopyFrom(other);
    const auto* button = dynamic_cast<const CButton*>(&other);
    if (!button)
        return;
    // The copied position is the source's as it stands; nothing to undo.
    m_shift = Shift::None;
    m_offset = button->m_offset;
    m_baseFrame = button->m_baseFrame;
    for (unsigned i = 0; i < StateCount; ++i)
        m_stateColours[i] = button->m_stateColours[i];
    AdoptCaption(button->m_caption);
    // The copied flags decide; a state left from before would contradict them.
    SetState(RestingState());
}

void CButton::LoadAttributes(const CXMLNode& node)
{
    CGUI::LoadAttributes(node);
    if (node.GetAttribute("text"))
    {
        m_caption.SetText(node.GetAttributeString("text"));
        m_offset.x = m_offset.y = TextOffset;
    }
    for (unsigned i = 0; i < node.GetChildCount(); ++i)
    {
        const CXMLNode& child = *node.GetChild(i);
        if (child.GetName() == "offset")
        {
            m_offset.Set(child.GetAttributeFloat("x"), child.GetAttributeFloat("y"),
                         child.GetAttributeFloat("z"), child.GetAttributeFloat("w"));
            const CVector size = GetScale();
            m_caption.SetSize(CaptionWidth(size.x), size.y);
        }
        for (unsigned state = 0; state < StateCount; ++state)
            if (child.GetName() == StateTags[state])
                m_stateColours[state] = ReadStateColour(child);
    }
    if (node.GetChildCount() > 0)
        SetState(m_state);
}

void CButton::SetFrame(unsigned frame, bool resize)
{
    m_baseFrame = frame;
    CGUI::SetFrame(frame + m_state, false);
    const SpriteFrame* base = m_sprite.GetFrame(frame);
    if (resize && base)
        SetSize(static_cast<float>(base->w), static_cast<float>(base->h));
}

void CButton::SetState(unsigned state)
{
    m_state = state;
    CGUI::SetFrame(m_baseFrame + state, false);
    if (state < StateCount && m_stateColours[state].w > 0.0f)
    {
        CMaterial& material = GetMaterial();
        material.SetEmission(m_stateColours[state]);
        CVector diffuse = material.GetDiffuse();
        diffuse.w = m_stateColours[state].w;
        material.SetDiffuse(diffuse);
    }
    ApplyOffset(state);
}

// With a sprite the image shows the press, so only the caption moves;
// without one the whole quad moves.
void CButton::ApplyOffset(unsigned state)
{
    const bool offsetMoves = m_offset.x != 0.0f || m_offset.y != 0.0f;
    if (state == Down && m_shift == Shift::None)
    {
        const CVector position = GetPosition();
        if (m_sprite.GetFrameCount() > 0)
        {
            m_shift = Shift::Caption;
            m_caption.SetPosition(m_offset.x, m_offset.y);
        }
        else
        {
            m_shift = Shift::Button;
            if (offsetMoves)
                SetPosition(position.x + m_offset.x, position.y + m_offset.y);
        }
    }
    else if (state != Down && m_shift != Shift::None)
    {
        const CVector position = GetPosition();
        if (m_shift == Shift::Caption)
            m_caption.SetPosition(0.0f, 0.0f);
        else if (offsetMoves)
            SetPosition(position.x - m_offset.x, position.y - m_offset.y);
        m_shift = Shift::None;
    }
}

void CButton::SetFont(const CFont* font)
{
    if (!font)
        return;
    AdoptCaption(*font);
    m_caption.SetText(String());
}

void CButton::AdoptCaption(const CFont& font)
{
    m_caption.CopyFrom(font);
    m_caption.SetParent(this);
    m_caption.SetEnabled(true);
    if (m_shift == Shift::Caption)
        m_caption.SetPosition(m_offset.x, m_offset.y);
    else
        m_caption.SetPosition(0.0f, 0.0f);
    m_caption.SetAlign(CaptionAlign(font));
    const CVector size = GetScale();
    m_caption.SetSize(CaptionWidth(size.x), size.y);
}

void CButton::SetStateColour(unsigned state, const CVector& colour)
{
    assert(state < StateCount && "CButton::SetStateColour(): state out of range");
    if (state < StateCount)
        m_stateColours[state] = colour;
}

float CButton::CaptionWidth(float buttonWidth) const
{
    return m_offset.w != 0.0f ? m_offset.w : buttonWidth;
}

// Input, hover and leave do nothing while disabled or latched.
//   release          -> Hover when the pointer is inside, else Normal
//   press inside     -> Down
//   pointer over     -> Hover, unless Down
//   pointer out      -> Normal, unless Down
//   enabled          -> Normal (Down when latched); disabled -> Disabled
void CButton::OnInput(CInputMap& event)
{
    if (!m_enabled || m_latched)
        return;
    const bool inside =
        Contains(static_cast<int>(event.Position.x), static_cast<int>(event.Position.y));
    if (event.Action == CInputMap::Release)
        SetState(inside ? Hover : Normal);
    else if (event.Action == CInputMap::Press && inside)
        SetState(Down);
}

void CButton::OnMouseOver()
{
    if (m_enabled && !m_latched && m_state != Down)
        SetState(Hover);
}

void CButton::OnMouseOut()
{
    if (m_enabled && !m_latched && m_state != Down)
        SetState(Normal);
}

void CButton::OnEnabledChanged(bool)
{
    SetState(RestingState());
}

unsigned CButton::RestingState() const
{
    if (!m_enabled)
        return Disabled;
    return m_latched ? Down : Normal;
}

// Also fed by the caption's own Resized: the scale is set directly, so that
// sizing the caption here never comes back here.
void CButton::OnResized(float w, float h)
{
    m_caption.SetScale(CaptionWidth(w), h, m_caption.GetScale().z);
}
