// A text label drawn glyph by glyph from a sprite with one frame per
// character code, and the font definition other controls copy for their
// captions. The anchor places the text inside the box instead of moving the
// quad; text wraps at spaces (or inside a word too long for the box) and
// lines past the box's bottom are left out.
#pragma once

#include "core/String.h"
#include "gui/GUI.h"

class CXMLNode;

class CFont : public CGUI
{
public:
    CFont();

    // Unless the box is narrower or lower than the reference glyph (code
    // 0), which turns wrapping or clipping off. Emits nothing.
    void Draw() override;
    // From another font also the spacing, scale, password mode and text.
    void CopyFrom(const CGUI& other) override;
    void LoadAttributes(const CXMLNode& node) override;
    // Builds a 256-frame table indexed by code from the frames named by
    // single characters; codes without one get a blank frame, which draws
    // nothing and takes no room. A sprite of more than 255 frames is taken
    // as such a table already; one without frames is ignored.
    void SetSprite(CSprite& sprite) override;

    // Backslash-n becomes a newline; backslash-backslash-n stays a literal
    // backslash-n. Any other backslash is kept.
    void SetText(const String& text);
    // Stored as given: for text typed or already unescaped.
    void SetRawText(const String& text) { m_text = text; }
    const String& Text() const { return m_text; }
    void SetPassword(bool password) { m_password = password; }
    bool IsPassword() const { return m_password; }
    void SetMask(char mask) { m_mask = mask; }
    void SetSpacing(int kern, int lead);
    void SetGlyphScale(float x, float y);
    int GetKern() const { return m_kern; }
    int GetLead() const { return m_lead; }

    // Width of the first line of `text` as drawn, breaking at spaces when
    // `wrapWidth` is not 0.
    float LineWidth(const String& text, float wrapWidth) const;
    // Height of the whole of `text` as drawn, wrapping as Draw does.
    float TextHeight(const String& text, float wrapWidth) const;
    // Scaled height of the reference glyph.
    float LineHeight() const;

protected:
    // The anchor places the text; the quad keeps its corners.
    void ApplyAlign(int align) override;

private:
    struct Pen;

    // Scaled width plus kern; 0 for codes whose glyph has no image.
    float Advance(unsigned char code) const;
    float WordWidth(const String& text, unsigned start) const;
    float LineWidthFrom(const String& text, unsigned start, float wrapWidth) const;
    bool HasImage(unsigned char code) const;
    float PlaceLine(const String& text, unsigned start, const Pen& pen) const;
    float PlaceBlock(const String& text, const Pen& pen) const;
    bool NewLine(const String& text, unsigned start, Pen& pen) const;
    void DrawGlyph(unsigned char code, Pen& pen);

    String m_text;
    int m_kern = 0;
    int m_lead = 0;
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
    bool m_password = false;
    char m_mask = '*';
};
