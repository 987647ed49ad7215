// CFont: the glyph table, measuring and the glyph-by-glyph drawing. Drawing
// and measuring break lines by the same rules, so that a measured line is
// the line drawn and the alignment holds. Codes index glyphs as unsigned
// bytes: text may carry Latin-1 characters above 127.

#include "gui/Font.h"

#include <cmath>
#include <string>

#include "core/Matrix.h"
#include "core/XML.h"

namespace
{

constexpr unsigned GlyphCount = 256;
// A bound no pen reaches: turns wrapping or clipping off.
constexpr float Unbounded = 8388607.0f;

unsigned char CodeAt(const String& text, unsigned i)
{
    return static_cast<unsigned char>(text.GetAt(i));
}

// True when the character after `i` continues the same line.
bool LineGoesOn(const String& text, unsigned i)
{
    return i + 1 < text.GetLength() && text.GetAt(i + 1) != '\n';
}

String Masked(char mask, unsigned length)
{
    const std::string masked(length, mask);
    return String(masked.data(), length);
}

} // namespace

// The box in the control's own (parent-relative) coordinates and the pen
// walking it.
struct CFont::Pen
{
    float x = 0.0f;
    float y = 0.0f;
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    // Off when the box is narrower than the reference glyph.
    bool wrap = true;
    bool stopped = false;
};

CFont::CFont()
{
    m_typeCode = TypeFont;
}

void CFont::ApplyAlign(int) {}

void CFont::SetSprite(CSprite& sprite)
{
    const unsigned count = sprite.GetFrameCount();
    if (count == 0)
        return;
    if (count >= GlyphCount)
    {
        CGUI::SetSprite(sprite);
        return;
    }
    // No texture: the blank frame draws nothing and takes no room.
    SpriteFrame blank;
    blank.w = sprite.GetFrame(0)->w;
    blank.h = sprite.GetFrame(0)->h;
    CSprite table;
    for (unsigned code = 0; code < GlyphCount; ++code)
    {
        const char character = static_cast<char>(code);
        const SpriteFrame* glyph = sprite.FindFrame(String(&character, 1));
        table.AddFrame(glyph ? *glyph : blank);
    }
    CGUI::SetSprite(table);
}

// backslash n            -> newline
// backslash backslash n  -> backslash n, kept as written
// any other backslash    -> kept, also a last one
void CFont::SetText(const String& text)
{
    const unsigned length = text.GetLength();
    std::string out;
    out.reserve(length);
    for (unsigned i = 0; i < length; ++i)
    {
        const char c = text.GetAt(i);
        const char next = i + 1 < length ? text.GetAt(i + 1) : '\0';
        const char after = i + 2 < length ? text.GetAt(i + 2) : '\0';
        if (c == '\\' && next == 'n')
        {
            out += '\n';
            ++i;
        }
        else if (c == '\\' && next == '\\' && after == 'n')
        {
            out += "\\n";
            i += 2;
        }
        else
            out += c;
    }
    m_text = String(out.data(), static_cast<unsigned>(out.size()));
}

void CFont::SetSpacing(int kern, int lead)
{
    m_kern = kern;
    m_lead = lead;
}

void CFont::SetGlyphScale(float x, float y)
{
    m_scaleX = x;
    m_scaleY = y;
}

bool CFont::HasImage(unsigned char code) const
{
    const SpriteFrame* frame = m_sprite.GetFrame(code);
    return frame && frame->texture;
}

float CFont::Advance(unsigned char code) const
{
    if (!HasImage(code))
        return 0.0f;
    return m_scaleX * static_cast<float>(m_sprite.GetFrame(code)->w) + static_cast<float>(m_kern);
}

float CFont::LineHeight() const
{
    const SpriteFrame* reference = m_sprite.GetFrame(0);
    return reference ? m_scaleY * static_cast<float>(reference->h) : 0.0f;
}

// The word starting at `start`: up to the next space, newline or the end.
float CFont::WordWidth(const String& text, unsigned start) const
{
    float width = 0.0f;
    for (unsigned i = start; i < text.GetLength(); ++i)
    {
        const char c = text.GetAt(i);
        if (c == ' ' || c == '\n')
            break;
        width += Advance(static_cast<unsigned char>(c));
    }
    return width;
}

float CFont::LineWidth(const String& text, float wrapWidth) const
{
    return LineWidthFrom(text, 0, wrapWidth);
}

float CFont::LineWidthFrom(const String& text, unsigned start, float wrapWidth) const
{
    float width = 0.0f;
    for (unsigned i = start; i < text.GetLength(); ++i)
    {
        const char c = text.GetAt(i);
        if (c == '\n')
            break;
        if (wrapWidth != 0.0f && c == ' ' && width + WordWidth(text, i + 1) >= wrapWidth)
            break;
        width += Advance(static_cast<unsigned char>(c));
    }
    return width;
}

// Mirrors Draw: a line ends at a newline, at a space whose following word
// would reach the wrap width (the space is dropped), or after the glyph that
// reaches it (a space right after that is dropped too).
float CFont::TextHeight(const String& text, float wrapWidth) const
{
    const float lineHeight = LineHeight();
    const float step = static_cast<float>(m_lead) + lineHeight;
    float height = lineHeight;
    float sum = 0.0f;
    for (unsigned i = 0; i < text.GetLength(); ++i)
    {
        const char c = text.GetAt(i);
        const bool breaks = c == '\n' || (wrapWidth != 0.0f && c == ' ' && LineGoesOn(text, i) &&
                                          sum + WordWidth(text, i + 1) >= wrapWidth);
        if (breaks)
        {
            height += step;
            sum = 0.0f;
            continue;
        }
        sum += Advance(static_cast<unsigned char>(c));
        if (wrapWidth != 0.0f && sum >= wrapWidth && LineGoesOn(text, i))
        {
            height += step;
            sum = 0.0f;
            if (text.GetAt(i + 1) == ' ')
                ++i;
        }
    }
    return height;
}

// Alignment columns: 0, 3, 6 left; 1, 4, 7 centre; 2, 5, 8 right.
float CFont::PlaceLine(const String& text, unsigned start, const Pen& pen) const
{
    if (!pen.wrap)
        return pen.left;
    const float width = LineWidthFrom(text, start, pen.width);
    if (pen.width <= width)
        return pen.left;
    switch (m_align % 3)
    {
    case 1:
        return std::trunc(pen.left + (pen.width - width) / 2.0f);
    case 2:
        return std::trunc(pen.left + (pen.width - width) - 1.0f);
    default:
        return pen.left;
    }
}

// Alignment rows: 0..2 top, 3..5 middle, 6..8 bottom.
float CFont::PlaceBlock(const String& text, const Pen& pen) const
{
    const float height = TextHeight(text, pen.wrap ? pen.width : 0.0f);
    switch (m_align / 3)
    {
    case 1:
        return std::trunc(pen.top + pen.height / 2.0f - height / 2.0f);
    case 2:
        return std::trunc(pen.top + pen.height - height);
    default:
        return pen.top;
    }
}

// False, and the pen stopped, when the new line would pass the bottom.
bool CFont::NewLine(const String& text, unsigned start, Pen& pen) const
{
    pen.x = PlaceLine(text, start, pen);
    pen.y += static_cast<float>(m_lead) + LineHeight();
    pen.stopped = pen.y + LineHeight() > pen.bottom;
    return !pen.stopped;
}

// Draws at the pen and advances it; the caller has checked for an image.
void CFont::DrawGlyph(unsigned char code, Pen& pen)
{
    const float width = m_scaleX * static_cast<float>(m_sprite.GetFrame(code)->w);
    SetScale(width, LineHeight(), GetScale().z);
    m_sprite.ShowFrame(code);
    CMatrix& transform = GetTransform();
    transform.Set(CMatrix::TranslationX, pen.x);
    transform.Set(CMatrix::TranslationY, pen.y);
    CGUI::Draw();
    pen.x += static_cast<float>(m_kern) + width;
}

// Every move and resize below goes to the transform and scale directly:
// drawing emits no Moved or Resized.
void CFont::Draw()
{
    if (m_text.GetLength() == 0 || !IsVisible())
        return;
    const String text = m_password ? Masked(m_mask, m_text.GetLength()) : m_text;
    const CVector position = GetPosition();
    const CVector size = GetScale();
    const SpriteFrame* reference = m_sprite.GetFrame(0);
    const float referenceWidth = reference ? static_cast<float>(reference->w) : 0.0f;
    const float referenceHeight = reference ? static_cast<float>(reference->h) : 0.0f;

    Pen pen;
    pen.left = position.x;
    pen.top = position.y;
    pen.width = size.x;
    pen.height = size.y;
    pen.wrap = referenceWidth < size.x;
    pen.right = pen.wrap ? position.x + size.x : Unbounded;
    pen.bottom = referenceHeight < size.y ? position.y + size.y : Unbounded;
    pen.x = PlaceLine(text, 0, pen);
    pen.y = referenceHeight < size.y ? PlaceBlock(text, pen) : position.y;

    for (unsigned i = 0; i < text.GetLength() && !pen.stopped; ++i)
    {
        const unsigned char code = CodeAt(text, i);
        if (code == '\n')
        {
            NewLine(text, i + 1, pen);
            continue;
        }
        if (code == ' ' && LineGoesOn(text, i) && pen.x + WordWidth(text, i + 1) >= pen.right)
        {
            NewLine(text, i + 1, pen);
            continue;
        }
        if (!HasImage(code))
            continue;
        DrawGlyph(code, pen);
        if (pen.x >= pen.right && LineGoesOn(text, i))
        {
            if (text.GetAt(i + 1) == ' ')
                ++i;
            NewLine(text, i + 1, pen);
        }
    }

    SetScale(size.x, size.y, size.z);
    CMatrix& transform = GetTransform();
    transform.Set(CMatrix::TranslationX, position.x);
    transform.Set(CMatrix::TranslationY, position.y);
}

void CFont::CopyFrom(const CGUI& other)
{
    if (&other == this)
        return;
    CGUI::CopyFrom(other);
    const auto* font = dynamic_cast<const CFont*>(&other);
    if (!font)
        return;
    m_kern = font->m_kern;
    m_lead = font->m_lead;
    m_password = font->m_password;
    m_mask = font->m_mask;
    m_scaleX = font->m_scaleX;
    m_scaleY = font->m_scaleY;
    m_text = font->m_text;
}

void CFont::LoadAttributes(const CXMLNode& node)
{
    CGUI::LoadAttributes(node);
    if (node.GetAttribute("kern"))
        m_kern = node.GetAttributeInt("kern");
    if (node.GetAttribute("lead"))
        m_lead = node.GetAttributeInt("lead");
    if (node.GetAttribute("text"))
        SetText(node.GetAttributeString("text"));
    m_scaleX = node.GetAttribute("scaleX") ? node.GetAttributeFloat("scaleX") : 1.0f;
    m_scaleY = node.GetAttribute("scaleY") ? node.GetAttributeFloat("scaleY") : 1.0f;
}
