// CSprite: frame bookkeeping, the texture matrix a frame writes, and the
// glyph atlas built with FreeType. Atlas arithmetic runs in 64-bit integers
// and every pixel write is checked against the atlas, so a font with odd
// metrics loses pixels rather than overrunning the buffer.
#include "render/Sprite.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "core/Matrix.h"
#include "render/Material.h"
#include "resources/Texture.h"

namespace
{

struct LibraryDeleter
{
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter
{
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using Library = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDeleter>;
using Face = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

// A row closes when its glyph count reaches this; the glyph that closes it
// opens the next row.
constexpr unsigned GlyphsPerRow = 16;

// Whole pixels of horizontal advance. A negative advance would make the
// glyph's cell a wrapped, enormous width, so it counts as none.
int64_t AdvanceOf(FT_GlyphSlot glyph)
{
    return std::max<int64_t>(0, glyph->advance.x / 64);
}

// Coverage of bitmap pixel (col, row), row 0 at the top. Anti-aliased glyphs
// come as 8-bit grey; embedded bitmap strikes may come as 1-bit mono, which
// read as bytes would run past the rows. Other modes count as empty.
uint8_t CoverageAt(const FT_Bitmap& bitmap, unsigned col, unsigned row)
{
    if (!bitmap.buffer || col >= bitmap.width || row >= bitmap.rows)
        return 0;
    const int64_t pitch = bitmap.pitch;
    const int64_t lineIndex = pitch >= 0 ? row : int64_t(bitmap.rows) - 1 - row;
    const unsigned char* line = bitmap.buffer + lineIndex * (pitch >= 0 ? pitch : -pitch);
    switch (bitmap.pixel_mode)
    {
    case FT_PIXEL_MODE_GRAY:
        return line[col];
    case FT_PIXEL_MODE_MONO:
        return (line[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
    default:
        return 0;
    }
}

// Declared library first, so the face is done before its library.
struct FontFace
{
    Library library;
    Face face;
};

// A null face when FreeType, the file or the pixel size fails.
FontFace OpenFace(const String& fontFile, unsigned height)
{
    FontFace font;
    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0)
        return font;
    font.library.reset(rawLibrary);
    FT_Face rawFace = nullptr;
    if (FT_New_Face(font.library.get(), fontFile.GetText(), 0, &rawFace) != 0)
        return font;
    Face face(rawFace);
    if (FT_Set_Pixel_Sizes(face.get(), 0, height) != 0)
        return font;
    font.face = std::move(face);
    return font;
}

// 64-bit code: a last code of UINT_MAX must still end the callers' loops.
bool LoadGlyph(FT_Face face, uint64_t code)
{
    return FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER) == 0;
}

struct GlyphMetrics
{
    int64_t lineHeight = 0;
    // The deepest descent below the baseline, zero or negative.
    int64_t descent = 0;
    uint64_t atlasWidth = 0;
    // Rows of glyphs as measured, before the placing pass's wrapping.
    uint64_t rowCount = 1;
    // One per glyph that loads, in code order.
    std::vector<int64_t> advances;
};

// Measuring pass: line height, deepest descent and the widest row.
GlyphMetrics MeasureGlyphs(FT_Face face, unsigned height, unsigned first, unsigned last)
{
    GlyphMetrics metrics;
    metrics.lineHeight = height;
    int64_t penX = 2;
    int64_t widest = 0;
    bool rowClosed = false;
    unsigned count = 0;
    for (uint64_t code = first; code <= last; ++code)
    {
        if (!LoadGlyph(face, code))
            continue;
        const FT_GlyphSlot glyph = face->glyph;
        const int64_t advance = AdvanceOf(glyph);
        metrics.advances.push_back(advance);
        metrics.lineHeight = std::max<int64_t>(metrics.lineHeight, glyph->bitmap.rows);
        metrics.descent =
            std::min<int64_t>(metrics.descent, int64_t(glyph->bitmap_top) - glyph->bitmap.rows);
        if (++count == GlyphsPerRow)
        {
            widest = std::max(widest, penX);
            rowClosed = true;
            penX = advance + 4;
            count = 0;
            ++metrics.rowCount;
        }
        else
        {
            penX += advance + 2;
        }
    }
    metrics.atlasWidth = rowClosed ? uint64_t(widest) : uint64_t(penX + 2);
    return metrics;
}

// Placing wraps a glyph earlier than measuring breaks a row (it wants two
// spare pixels after it), and the last, unclosed row never counts towards
// the width; sized by measured rows alone, the atlas can lose its last
// glyphs off the bottom. This counts the rows the placing pass will use.
uint64_t PlacedRowCount(const std::vector<int64_t>& advances, uint64_t atlasWidth)
{
    uint64_t rows = 1;
    int64_t penX = 2;
    for (const int64_t advance : advances)
    {
        if (uint64_t(penX + advance + 2) >= atlasWidth)
        {
            penX = 2;
            ++rows;
        }
        penX += advance + 2;
    }
    return rows;
}

// Null when a side is beyond the atlas limit.
std::unique_ptr<CTexture> CreateAtlas(const GlyphMetrics& metrics)
{
    const uint64_t rowCount =
        std::max(metrics.rowCount, PlacedRowCount(metrics.advances, metrics.atlasWidth));
    const uint64_t atlasHeight = uint64_t(metrics.lineHeight + 2) * rowCount;
    constexpr uint64_t maxSide = CSprite::kMaxAtlasSide;
    if (metrics.atlasWidth > maxSide || atlasHeight > maxSide)
        return nullptr;
    auto atlas = std::make_unique<CTexture>();
    atlas->Create(unsigned(metrics.atlasWidth), unsigned(atlasHeight), 4, 32);
    return atlas;
}

// White pixels carrying the glyph's coverage as alpha, the cell's bottom
// row at atlas row `baseRow`. Pixels outside the atlas are dropped.
void PaintGlyph(CTexture& atlas, const FT_Bitmap& bitmap, int64_t cellWidth, int64_t cellRows,
                int64_t baseRow, int64_t baseCol)
{
    const int64_t width = int64_t(atlas.GetWidth());
    const int64_t atlasRows = int64_t(atlas.GetHeight());
    uint8_t* pixels = atlas.GetPixels();
    for (int64_t k = 0; k < cellRows; ++k)
    {
        const int64_t row = baseRow + k;
        if (row < 0 || row >= atlasRows)
            continue;
        for (int64_t j = 0; j < cellWidth; ++j)
        {
            const int64_t col = baseCol + j;
            if (col < 0 || col >= width)
                continue;
            uint8_t* pixel = pixels + (size_t(row) * size_t(width) + size_t(col)) * 4;
            pixel[0] = pixel[1] = pixel[2] = 255;
            // FreeType delivers the top row first; k counts from the bottom.
            pixel[3] = CoverageAt(bitmap, unsigned(j), unsigned(cellRows - 1 - k));
        }
    }
}

// Placing pass: pen y counts down from the atlas top, image rows count up
// from its bottom. Each glyph that loads paints its cell and gets a frame.
void PlaceGlyphs(CSprite& sprite, CTexture& atlas, FT_Face face, const GlyphMetrics& metrics,
                 unsigned first, unsigned last)
{
    const int64_t width = int64_t(atlas.GetWidth());
    const int64_t atlasRows = int64_t(atlas.GetHeight());
    const int64_t lineHeight = metrics.lineHeight;
    int64_t penX = 2;
    int64_t penY = 2;
    for (uint64_t code = first; code <= last; ++code)
    {
        if (!LoadGlyph(face, code))
            continue;
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int64_t advance = AdvanceOf(glyph);
        // A glyph without a bitmap still paints its cell, transparent.
        const int64_t cellWidth = bitmap.width ? int64_t(bitmap.width) : advance;
        const int64_t cellRows = bitmap.rows ? int64_t(bitmap.rows) : 1;

        if (penX + advance + 2 >= width)
        {
            penX = 2;
            penY += lineHeight + 2;
        }

        const int64_t frameBottom = atlasRows - penY - lineHeight;
        const int64_t baseRow =
            frameBottom - metrics.descent + (int64_t(glyph->bitmap_top) - cellRows);
        PaintGlyph(atlas, bitmap, cellWidth, cellRows, baseRow, penX + glyph->bitmap_left);

        SpriteFrame frame;
        frame.name.Format("%c", int(code));
        CSprite::SetFrameRect(frame, unsigned(penX), unsigned(penY), unsigned(advance),
                              unsigned(lineHeight), 0, &atlas);
        sprite.AddFrame(frame);
        penX += advance + 2;
    }
}

} // namespace

CSprite::CSprite() : CResource(KindSprite)
{
    m_frames.reserve(2);
}

void CSprite::SetFrameRect(SpriteFrame& frame, unsigned x, unsigned y, unsigned w, unsigned h,
                           unsigned delay, CTexture* texture)
{
    frame.x = x;
    frame.y = y;
    frame.w = w;
    frame.h = h;
    frame.delay = delay;
    frame.texture = texture;
    if (!texture)
        return;

    const float* scale = texture->GetScale();
    frame.x = static_cast<uint32_t>(static_cast<float>(x) * scale[0]);
    frame.w = static_cast<uint32_t>(static_cast<float>(w) * scale[0]);
    frame.y = static_cast<uint32_t>(static_cast<float>(y) * scale[1]);
    frame.h = static_cast<uint32_t>(static_cast<float>(h) * scale[1]);

    // The picture sits in the canvas's top-left corner, so v is measured up
    // from the canvas bottom.
    const float side = static_cast<float>(texture->GetUploadedSize());
    if (side > 0.0f)
    {
        frame.u = static_cast<float>(frame.x) / side;
        frame.v = (side - static_cast<float>(frame.h) - static_cast<float>(frame.y)) / side;
        frame.su = static_cast<float>(frame.w) / side;
        frame.sv = static_cast<float>(frame.h) / side;
    }
}

SpriteFrame* CSprite::GetFrame(unsigned i)
{
    return i < m_frames.size() ? &m_frames[i] : nullptr;
}

const SpriteFrame* CSprite::GetFrame(unsigned i) const
{
    return i < m_frames.size() ? &m_frames[i] : nullptr;
}

const SpriteFrame* CSprite::FindFrame(const String& name) const
{
    for (const SpriteFrame& frame : m_frames)
        if (frame.name == name)
            return &frame;
    return nullptr;
}

unsigned CSprite::GetDefaultDelay() const
{
    return m_frameRate ? 1000 / m_frameRate : 0;
}

void CSprite::SetFrameRate(unsigned rate)
{
    m_frameRate = rate;
    const unsigned delay = GetDefaultDelay();
    for (SpriteFrame& frame : m_frames)
        frame.delay = delay;
}

void CSprite::ShowFrame(unsigned i)
{
    if (i >= m_frames.size() || !m_material)
        return;
    const SpriteFrame& frame = m_frames[i];
    if (frame.texture)
    {
        CMatrix& matrix = m_material->GetTextureMatrix();
        matrix.Set(CMatrix::ScaleX, frame.su);
        matrix.Set(CMatrix::ScaleY, frame.sv);
        matrix.Set(CMatrix::TranslationX, frame.u);
        matrix.Set(CMatrix::TranslationY, frame.v);
        if (m_material->GetTextureCount() > 0)
            m_material->SetTexture(0, frame.texture->GetTextureName());
    }
    m_currentFrame = i;
}

void CSprite::CopyFrom(const CSprite& source)
{
    if (&source == this)
        return;
    m_name = source.m_name;
    m_fileName = source.m_fileName;
    m_frames = source.m_frames;
    m_material = source.m_material;
    m_frameRate = source.m_frameRate;
    m_currentFrame = source.m_currentFrame;
}

std::unique_ptr<CTexture> CSprite::BuildFontSprite(CSprite& sprite, const String& fontFile,
                                                   unsigned height, unsigned first, unsigned last)
{
    sprite = CSprite();
    const FontFace font = OpenFace(fontFile, height);
    if (!font.face)
        return nullptr;
    const GlyphMetrics metrics = MeasureGlyphs(font.face.get(), height, first, last);
    std::unique_ptr<CTexture> atlas = CreateAtlas(metrics);
    if (!atlas)
        return nullptr;
    PlaceGlyphs(sprite, *atlas, font.face.get(), metrics, first, last);
    return atlas;
}
