// Builds the 768-entry built-in palette in three 256-entry bands. Values stay
// fractional (the first band's blue is 0.75 × i); the pixel lookup truncates.
#include "Palette.h"

std::vector<PaletteEntry> BuiltInPalette()
{
    std::vector<PaletteEntry> palette;
    palette.reserve(768);
    for (int i = 0; i < 256; ++i)
        palette.emplace_back(0.0f, 0.0f, 0.75f * static_cast<float>(i), 0.0f);
    for (int i = 0; i < 256; ++i)
        palette.emplace_back(0.0f, static_cast<float>(i), static_cast<float>(255 - i), 0.0f);
    for (int i = 0; i < 256; ++i)
        palette.emplace_back(static_cast<float>(i), static_cast<float>(255 - i), 0.0f, 0.0f);
    return palette;
}
