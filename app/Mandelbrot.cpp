#include "Mandelbrot.h"

bool CMandelbrot::ReadGradient(const String& path)
{
    return CFractal::ReadGradient(path, &m_paletteTexture);
}

bool CMandelbrot::LoadGradient(const String& path)
{
    if (!ReadGradient(path))
        return false;
    m_paletteTexture.Upload(CTexture::NoLimit, true, false, false, true);
    return true;
}
