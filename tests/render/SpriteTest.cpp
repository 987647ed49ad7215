// Sprite frames and the material they drive, and glyph atlases built from the
// shipped DejaVu face: names, sizes, where the ink lands, and the ranges and
// files that give no frames. Nothing here is uploaded.
#include "render/Sprite.h"

#include <cstdint>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "render/Material.h"
#include "resources/Texture.h"

namespace
{

const char* const FontFile = "resources/fonts/DejaVuSans.ttf";

SpriteFrame Frame(const char* name, CTexture* texture, float uv)
{
    SpriteFrame frame;
    frame.name = name;
    frame.texture = texture;
    frame.u = frame.v = frame.su = frame.sv = uv;
    return frame;
}

// Inked pixels per frame row, top row first.
std::vector<unsigned> InkRows(const CTexture& atlas, const SpriteFrame& frame)
{
    std::vector<unsigned> rows(frame.h, 0);
    for (unsigned dy = 0; dy < frame.h; ++dy)
        for (unsigned dx = 0; dx < frame.w; ++dx)
            rows[dy] += atlas.GetPixel(frame.x + dx, atlas.GetHeight() - 1 - frame.y - dy)[3] != 0;
    return rows;
}

// First and last frame rows (top down) with any ink; -1 for none.
std::pair<int, int> InkSpan(const std::vector<unsigned>& rows)
{
    std::pair<int, int> span{-1, -1};
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i])
            span = {span.first < 0 ? int(i) : span.first, int(i)};
    return span;
}

} // namespace

TEST(Sprite, ShowFrameWritesOnlyInRangeWithAMaterial)
{
    CTexture texture; // never uploaded: GL name 0
    CSprite sprite;
    sprite.AddFrame(Frame("plain", nullptr, 9.0f));
    sprite.AddFrame(Frame("textured", &texture, 0.25f));
    sprite.ShowFrame(1); // nothing bound yet
    EXPECT_EQ(sprite.GetCurrentFrame(), 0u);

    CMaterial material;
    material.AddTexture(0, 77);
    material.AddTexture(1, 88);
    sprite.BindMaterial(&material);
    sprite.ShowFrame(2);
    EXPECT_EQ(material.GetTextureMatrix().Get(0u), 1.0f);
    EXPECT_EQ(material.GetTexture(0), 77u);
    EXPECT_EQ(sprite.GetCurrentFrame(), 0u);

    sprite.ShowFrame(1);
    const CMatrix& m = material.GetTextureMatrix();
    for (unsigned i : {0u, 5u, 12u, 13u})
        EXPECT_EQ(m.Get(i), 0.25f) << "element " << i;
    EXPECT_EQ(m.Get(10u), 1.0f);
    EXPECT_EQ(material.GetTexture(0), 0u);
    EXPECT_EQ(material.GetTexture(1), 88u);

    // No texture: the material stays, the frame still becomes current.
    sprite.ShowFrame(0);
    EXPECT_EQ(m.Get(0u), 0.25f);
    EXPECT_EQ(sprite.GetCurrentFrame(), 0u);
}

TEST(Sprite, FrameRateAndLookUps)
{
    CSprite sprite;
    sprite.AddFrame(Frame("Idle", nullptr, 0));
    sprite.AddFrame(Frame("idle", nullptr, 0));
    sprite.AddFrame(Frame("idle", nullptr, 0));
    EXPECT_EQ(sprite.FindFrame("idle"), sprite.GetFrame(1));
    EXPECT_EQ(sprite.FindFrame("IDLE"), nullptr);
    EXPECT_EQ(sprite.GetFrame(3), nullptr);

    sprite.SetFrameRate(3);
    EXPECT_EQ(sprite.GetFrame(2)->delay, 333u);
    sprite.SetFrameRate(0);
    EXPECT_EQ(sprite.GetDefaultDelay(), 0u);
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_EQ(sprite.GetFrame(i)->delay, 0u);
}

TEST(FontSprite, OneFramePerCharacterAllInsideTheAtlas)
{
    // 32..60 and 97..126 end on an unclosed row wider than the closed ones.
    const unsigned ranges[][2] = {{32, 126}, {32, 60}, {97, 126}};
    for (const auto& range : ranges)
    {
        CSprite font;
        const auto atlas = CSprite::BuildFontSprite(font, FontFile, 12, range[0], range[1]);
        ASSERT_TRUE(atlas);
        ASSERT_EQ(font.GetFrameCount(), range[1] - range[0] + 1);
        for (unsigned i = 0; i < font.GetFrameCount(); ++i)
        {
            const SpriteFrame& f = *font.GetFrame(i);
            const char name[2] = {char(range[0] + i), 0};
            EXPECT_EQ(f.name, String(name));
            EXPECT_GE(f.h, 12u) << name;
            EXPECT_EQ(f.texture, atlas.get()) << name;
            EXPECT_LE(f.x + f.w, atlas->GetWidth()) << range[0] << ".." << range[1];
            EXPECT_LE(f.y + f.h, atlas->GetHeight()) << range[0] << ".." << range[1];
        }
    }
}

TEST(FontSprite, GlyphsAreWhiteCoverageUprightInTheirCells)
{
    CSprite sprite;
    const auto atlas = CSprite::BuildFontSprite(sprite, FontFile, 12, 32, 126);
    ASSERT_TRUE(atlas);
    const uint8_t* p = atlas->GetPixels();
    for (size_t i = 0; i < size_t(atlas->GetWidth()) * atlas->GetHeight(); ++i)
        ASSERT_TRUE(p[4 * i + 3] == 0 || (p[4 * i] & p[4 * i + 1] & p[4 * i + 2]) == 255) << i;

    // The apex of "A" on top; "." on its baseline, "'" high, "_" below.
    const auto ink = [&](const char* name) { return InkRows(*atlas, *sprite.FindFrame(name)); };
    const auto a = ink("A");
    const auto [top, baseline] = InkSpan(a);
    ASSERT_GE(top, 0);
    EXPECT_LT(a[size_t(top)], a[size_t(baseline)]);
    EXPECT_EQ(InkSpan(ink(".")).second, baseline);
    EXPECT_LT(InkSpan(ink("'")).second, InkSpan(ink(".")).first);
    EXPECT_GT(InkSpan(ink("_")).first, baseline);
    EXPECT_EQ(InkSpan(ink(" ")).first, -1);
}

TEST(FontSprite, EmptyRangeOrUnreadableFontGivesNoFrames)
{
    CSprite sprite;
    sprite.AddFrame(SpriteFrame());
    const auto unused = CSprite::BuildFontSprite(sprite, FontFile, 12, 127, 126);
    EXPECT_EQ(sprite.GetFrameCount(), 0u);
    ASSERT_TRUE(unused);
    EXPECT_EQ(unused->GetWidth(), 4u);
    EXPECT_EQ(unused->GetHeight(), 14u);

    for (const char* file :
         {"resources/fonts/Missing.ttf", "resources/fonts/DejaVuSans-LICENSE.txt"})
    {
        sprite.AddFrame(SpriteFrame());
        EXPECT_FALSE(CSprite::BuildFontSprite(sprite, file, 12, 32, 126)) << file;
        EXPECT_EQ(sprite.GetFrameCount(), 0u) << file;
    }
}
