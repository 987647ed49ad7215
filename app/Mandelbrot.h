// The explorer's fractal state: everything of CFractal, plus the gradient
// picture as the palette texture that the shader view samples.
#pragma once

#include "core/String.h"
#include "fractal/Fractal.h"
#include "resources/Texture.h"

class CMandelbrot : public CFractal
{
public:
    // Reads the preset locations from "resources/locations.xml".
    CMandelbrot() = default;
    explicit CMandelbrot(const String& locationsPath) : CFractal(locationsPath) {}

    // Decodes a gradient picture: the palette comes from its bottom row and
    // the picture becomes the palette texture's pixels, not yet uploaded. A
    // file that cannot be decoded gives the built-in palette, leaves the
    // texture as it was and returns false. Needs no GL context.
    bool ReadGradient(const String& path);
    // ReadGradient, then uploads the picture as the palette texture and frees
    // its pixels. Needs the GL context.
    bool LoadGradient(const String& path);
    const CTexture& GetPaletteTexture() const { return m_paletteTexture; }
    CTexture& GetPaletteTexture() { return m_paletteTexture; }

private:
    // The whole gradient picture, for the shader view.
    CTexture m_paletteTexture;
};
