// A named list of frames, each a rectangle of a texture with a display time.
// Showing a frame writes its rectangle into the bound material's texture
// matrix, which is why sprites live with the drawables rather than under
// resources. Fonts keep one frame per character in a FreeType glyph atlas.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/String.h"
#include "resources/Resource.h"

class CMaterial;
class CTexture;

struct SpriteFrame
{
    String name;
    // The rectangle in texture pixels, y counted from the top of the picture.
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t w = 0;
    uint32_t h = 0;
    // Display time in milliseconds.
    uint32_t delay = 0;
    // The rectangle in texture coordinates: lower-left corner, then size.
    float u = 0.0f;
    float v = 0.0f;
    float su = 0.0f;
    float sv = 0.0f;
    CTexture* texture = nullptr; // not owned
};

class CSprite : public CResource
{
public:
    CSprite();

    // Texture coordinates need the uploaded canvas side; before the upload
    // only the pixel rectangle (scaled by the texture's scale) is stored.
    static void SetFrameRect(SpriteFrame& frame, unsigned x, unsigned y, unsigned w, unsigned h,
                             unsigned delay, CTexture* texture);

    // No atlas side beyond this: a face with absurd metrics would otherwise
    // ask for gigabytes (and a canvas GL refuses anyway).
    static constexpr unsigned kMaxAtlasSide = 4096;

    // Fills `sprite` (emptied first) with one frame per code from `first` to
    // `last` inclusive, all on one new RGBA atlas that is returned to the
    // caller and not uploaded; the frames point into it. Null, with the
    // sprite left empty, when the face cannot be opened or sized or the
    // atlas would be wider or taller than kMaxAtlasSide. Codes whose glyph
    // does not load get no frame.
    static std::unique_ptr<CTexture> BuildFontSprite(CSprite& sprite, const String& fontFile,
                                                     unsigned height, unsigned first,
                                                     unsigned last);

    void AddFrame(const SpriteFrame& frame) { m_frames.push_back(frame); }
    // Null when i is out of range.
    SpriteFrame* GetFrame(unsigned i);
    const SpriteFrame* GetFrame(unsigned i) const;
    // The first frame of that exact name, or null.
    const SpriteFrame* FindFrame(const String& name) const;
    unsigned GetFrameCount() const { return static_cast<unsigned>(m_frames.size()); }

    unsigned GetFrameRate() const { return m_frameRate; }
    // 1000 ÷ rate in whole milliseconds; 0 without a rate.
    unsigned GetDefaultDelay() const;
    // Also gives every frame the default delay.
    void SetFrameRate(unsigned rate);

    // Out of range or without a material, nothing changes at all.
    void ShowFrame(unsigned i);
    unsigned GetCurrentFrame() const { return m_currentFrame; }

    void CopyFrom(const CSprite& source);
    void BindMaterial(CMaterial* material) { m_material = material; }
    CMaterial* GetMaterial() const { return m_material; }

private:
    std::vector<SpriteFrame> m_frames;
    CMaterial* m_material = nullptr; // not owned
    unsigned m_frameRate = 0;
    unsigned m_currentFrame = 0;
};
