// DejaVu Sans glyphs for the printable ASCII codes on an uploaded atlas, as
// the resource manager will hand fonts their sprites: built, uploaded, and
// every frame's rectangle set again against the uploaded canvas. Needs a
// current GL context and the source root as the working directory.
#pragma once

#include <memory>

#include "render/Sprite.h"
#include "resources/Texture.h"

struct GlyphAtlas
{
    static constexpr unsigned FirstCode = 32;
    static constexpr unsigned LastCode = 126;

    // False when the face cannot be read.
    bool Load(unsigned pixelHeight)
    {
        texture = CSprite::BuildFontSprite(sprite, "resources/fonts/DejaVuSans.ttf", pixelHeight,
                                           FirstCode, LastCode);
        if (!texture)
            return false;
        CTexture::UploadOptions nearest;
        nearest.linear = false;
        texture->Upload(nearest);
        for (unsigned i = 0; i < sprite.GetFrameCount(); ++i)
        {
            SpriteFrame& frame = *sprite.GetFrame(i);
            CSprite::SetFrameRect(frame, frame.x, frame.y, frame.w, frame.h, frame.delay,
                                  texture.get());
        }
        return texture->GetTextureName() != 0;
    }

    CSprite sprite;
    std::unique_ptr<CTexture> texture;
};
