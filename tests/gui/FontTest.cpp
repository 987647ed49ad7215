// The font without a window: the glyph table, the text escapes and the
// measuring that placement and wrapping rest on.
#include "gui/Font.h"

#include <gtest/gtest.h>

#include "resources/Texture.h"

namespace
{

CTexture g_texture; // never uploaded: a glyph only needs to point at one

void AddGlyph(CSprite& sprite, const char* name, uint32_t w)
{
    SpriteFrame frame;
    frame.name = name;
    frame.w = w;
    frame.h = 12;
    frame.texture = &g_texture;
    sprite.AddFrame(frame);
}

} // namespace

TEST(Font, GlyphTableIndexesEveryByteAndLeavesMissingGlyphsBlank)
{
    CFont font;
    CSprite sprite;
    font.SetSprite(sprite); // no frames: ignored
    EXPECT_EQ(font.GetSprite().GetFrameCount(), 0u);
    AddGlyph(sprite, "A", 8);
    AddGlyph(sprite, "\351", 9); // e acute, code 233: a negative char
    AddGlyph(sprite, "AB", 30);  // not a one-character name
    font.SetSprite(sprite);
    ASSERT_EQ(font.GetSprite().GetFrameCount(), 256u);
    EXPECT_EQ(font.GetSprite().GetFrame('B')->w, 8u); // blank, as wide as the first
    EXPECT_EQ(font.LineWidth("A\351BA", 0), 25.0f);   // blank glyphs take no room

    for (int i = 0; i < 300; ++i)
        AddGlyph(sprite, "x", i);
    font.SetSprite(sprite); // a table already: frame = code
    EXPECT_EQ(font.GetSprite().GetFrame('A')->w, 62u);
}

TEST(Font, BackslashNBecomesANewlineUnlessItsBackslashIsEscaped)
{
    const char* cases[][2] = {
        {"a\\nb", "a\nb"},  {"a\\\\nb", "a\\nb"}, {"a\\", "a\\"}, {"\\", "\\"},
        {"a\\\\", "a\\\\"}, {"\\x\\n", "\\x\n"},  {"", ""},
    };
    CFont font;
    for (const auto& c : cases)
    {
        font.SetText(c[0]);
        EXPECT_STREQ(font.Text().GetText(), c[1]) << c[0];
    }
}

TEST(Font, MeasuringBreaksWhereDrawingWraps)
{
    CSprite sprite;
    AddGlyph(sprite, " ", 5); // the first frame, as in a built atlas
    for (const char* letter : {"a", "b", "c", "d", "e", "f"})
        AddGlyph(sprite, letter, 10);
    CFont font;
    font.SetSprite(sprite);
    EXPECT_EQ(font.LineWidth("ab cd", 40), 20.0f); // 20 + "cd" reaches 40
    EXPECT_EQ(font.LineWidth("ab cd\nef", 41), 45.0f);

    font.SetSpacing(1, 3); // advances 11 and 6, lines 15 apart
    EXPECT_EQ(font.TextHeight("ab\ncd\n", 0), 42.0f);
    EXPECT_EQ(font.TextHeight("ab cd", 44), 27.0f);   // at the space
    EXPECT_EQ(font.TextHeight("abcdef", 33), 27.0f);  // inside the word
    EXPECT_EQ(font.TextHeight("abc def", 33), 27.0f); // the space after the break is dropped
    EXPECT_EQ(font.TextHeight("abc", 33), 12.0f);     // filled exactly, nothing follows
}
