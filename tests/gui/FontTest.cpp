// The font without a window: the glyph table, the text escapes and the
// measuring that placement and wrapping rest on.
#include "gui/Font.h"

#include <gtest/gtest.h>

#include "core/XML.h"
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

// Space 5 pixels wide (the first frame, as in a built atlas), a..f 10 wide.
void GiveGlyphs(CFont& font)
{
    CSprite sprite;
    AddGlyph(sprite, " ", 5);
    for (const char* letter : {"a", "b", "c", "d", "e", "f"})
        AddGlyph(sprite, letter, 10);
    font.SetSprite(sprite);
}

} // namespace

TEST(Font, GlyphTableIndexesEveryByteAndLeavesMissingGlyphsBlank)
{
    CFont font;
    CSprite empty;
    font.SetSprite(empty);
    EXPECT_EQ(font.GetSprite().GetFrameCount(), 0u);

    CSprite named;
    AddGlyph(named, "A", 8);
    AddGlyph(named, "\xE9", 9); // e acute, code 233: a negative char
    AddGlyph(named, "AB", 30);  // not a one-character name
    font.SetSprite(named);
    const CSprite& table = font.GetSprite();
    ASSERT_EQ(table.GetFrameCount(), 256u);
    EXPECT_EQ(table.GetFrame('A')->w, 8u);
    EXPECT_EQ(table.GetFrame(0xE9)->w, 9u);
    EXPECT_EQ(table.GetFrame('B')->texture, nullptr); // blank, sized as the first frame
    EXPECT_EQ(table.GetFrame('B')->w, 8u);
    // Blank glyphs take no room, Latin-1 ones theirs.
    EXPECT_EQ(font.LineWidth("A\351BA", 0), 25.0f);

    CSprite direct;
    for (int i = 0; i < 300; ++i)
        AddGlyph(direct, "x", i);
    font.SetSprite(direct);
    EXPECT_EQ(font.GetSprite().GetFrameCount(), 300u);
    EXPECT_EQ(font.GetSprite().GetFrame('A')->w, 65u);
}

TEST(Font, BackslashNBecomesANewlineUnlessItsBackslashIsEscaped)
{
    const char* cases[][2] = {
        {"a\\nb", "a\nb"},  {"a\\\\nb", "a\\nb"}, {"a\\", "a\\"}, {"\\", "\\"},
        {"a\\\\", "a\\\\"}, {"\\x\\n", "\\x\n"},  {"", ""},
    };
    CFont font;
    GiveGlyphs(font);
    for (const auto& c : cases)
    {
        font.SetText(c[0]);
        EXPECT_STREQ(font.Text().GetText(), c[1]) << c[0];
    }
    CXMLDocument document;
    ASSERT_TRUE(document.Parse(R"(<gui><font text="a\nb" kern="1"/><font/></gui>)"));
    font.SetGlyphScale(2, 3);
    font.LoadAttributes(*document.GetChild(0));
    EXPECT_STREQ(font.Text().GetText(), "a\nb");
    font.LoadAttributes(*document.GetChild(1)); // absent scales go back to 1
    EXPECT_EQ(font.GetKern(), 1);
    EXPECT_EQ(font.TextHeight("a", 0), 12.0f);
}

TEST(Font, MeasuringBreaksWhereDrawingWraps)
{
    CFont font;
    GiveGlyphs(font);
    EXPECT_EQ(font.LineWidth("ab cd", 0), 45.0f);
    EXPECT_EQ(font.LineWidth("ab cd", 40), 20.0f); // 20 + "cd" reaches 40
    EXPECT_EQ(font.LineWidth("ab cd", 41), 45.0f);
    EXPECT_EQ(font.LineWidth("ab\ncd", 0), 20.0f);

    font.SetSpacing(1, 3); // advances 11 and 6
    EXPECT_EQ(font.LineWidth("ab cd", 0), 50.0f);
    EXPECT_EQ(font.TextHeight("ab", 0), 12.0f);
    EXPECT_EQ(font.TextHeight("ab\ncd\n", 0), 42.0f);
    EXPECT_EQ(font.TextHeight("ab cd", 44), 27.0f);   // at the space
    EXPECT_EQ(font.TextHeight("abcdef", 33), 27.0f);  // inside the word
    EXPECT_EQ(font.TextHeight("abc def", 33), 27.0f); // the space after the break is dropped
    EXPECT_EQ(font.TextHeight("abc", 33), 12.0f);     // filled exactly, nothing follows
}
