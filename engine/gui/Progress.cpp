// CProgress: the bar's width and texture cut follow the percentage and the
// control's size.

#include "gui/Progress.h"

#include <algorithm>

#include "core/Matrix.h"
#include "core/XML.h"

CProgress::CProgress()
{
    m_typeCode = TypeProgress;
    m_enabled = true;
    m_bar.SetParent(this);
    m_bar.SetSize(0.0f, GetScale().y);
    ConnectSlot(m_connections, Resized, this, &CProgress::OnResized);
}

void CProgress::Draw()
{
    CGUI::Draw();
    m_bar.GetTransform().Set(CMatrix::TranslationZ,
                             GetTransform().Get(CMatrix::TranslationZ) + 1.0f);
    m_bar.Draw();
}

void CProgress::LoadAttributes(const CXMLNode& node)
{
    CGUI::LoadAttributes(node);
    // A negative bound would wrap round to a huge unsigned one.
    if (node.GetAttribute("min"))
    {
        m_min = static_cast<unsigned>(std::max(0, node.GetAttributeInt("min")));
        SetValue(m_value);
    }
    if (node.GetAttribute("max"))
    {
        m_max = static_cast<unsigned>(std::max(0, node.GetAttributeInt("max")));
        SetValue(m_value);
    }
    const CVector& angles = GetRotation();
    m_bar.SetRotation(angles.x, angles.y, angles.z);
}

void CProgress::SetSprite(CSprite& sprite)
{
    CGUI::SetSprite(sprite);
    m_bar.SetSprite(sprite);
    ShowFrame(0);
}

void CProgress::ShowFrame(unsigned frame)
{
    CGUI::SetFrame(frame, false);
    m_bar.SetFrame(frame + 1, false);
    // Showing a frame writes its full width into the texture matrix; the
    // bar would otherwise show its whole image squeezed into the fill.
    CutBarTexture();
}

void CProgress::CopyFrom(const CGUI& other)
{
    if (&other == this)
        return;
    CGUI::CopyFrom(other);
    const auto* progress = dynamic_cast<const CProgress*>(&other);
    if (!progress)
        return;
    m_percent = progress->m_percent;
    m_bar.CopyFrom(progress->m_bar);
    // The copied bar still names the source as its parent.
    m_bar.SetParent(this);
    m_value = progress->m_value;
    m_min = progress->m_min;
    m_max = progress->m_max;
}

void CProgress::SetPercent(float percent)
{
    // Written so that NaN ends up at 0 too.
    if (!(percent > 0.0f))
        percent = 0.0f;
    else if (percent > 100.0f)
        percent = 100.0f;
    m_percent = percent;
    m_bar.SetSize(percent * 0.01f * GetScale().x, m_bar.GetScale().y);
    CutBarTexture();
    PercentChanged.Emit(percent);
}

void CProgress::SetValue(unsigned value)
{
    if (value < m_min)
        value = m_min;
    if (value > m_max)
        value = m_max;
    m_value = value;
    if (m_max == m_min)
        return;
    // In double: with min above max the unsigned difference would wrap.
    const double span = double(m_max) - double(m_min);
    SetPercent(static_cast<float>((double(m_value) - double(m_min)) / span * 100.0));
}

void CProgress::OnResized(float w, float h)
{
    m_bar.SetSize(m_percent * 0.01f * w, h);
}

void CProgress::CutBarTexture()
{
    if (const SpriteFrame* frame = m_bar.GetSprite().GetFrame(m_bar.GetFrame()))
        m_bar.GetMaterial().GetTextureMatrix().Set(CMatrix::ScaleX, frame->su * m_percent * 0.01f);
}
