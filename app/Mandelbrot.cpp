#include "Mandelbrot.h"

bool CMandelbrot::ReadGradient(const String& path)
{
    return CFractal::ReadGradient(path, &m_paletteTexture);
}

bool CMandelbrot::LoadGradient(const String& path)
{
    if (!ReadGradient(path))
        return false;
    CTexture::UploadOptions options;
    options.freePixels = true;
    m_paletteTexture.Upload(options);
    return true;
}
