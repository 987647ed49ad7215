// Builds the 768-entry built-in palette in three 256-entry bands. Values stay
// fractional (the first band's blue is 0.75 × i); the pixel lookup truncates.
#include "fractal/Palette.h"

#include <cassert>

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

size_t PaletteIndex(double value, uint32_t limit, size_t count)
{
    if (limit == 0 || count == 0)
        return 0;
    const double index = value / static_cast<double>(limit) * static_cast<double>(count);
    // Far-out points have negative values and the last two iterations can
    // overshoot the limit: clamp in double, before a conversion could
    // overflow. Not-a-number fails the comparison and takes entry 0.
    if (!(index >= 1.0))
        return 0;
    if (index >= static_cast<double>(count))
        return count - 1;
    return static_cast<size_t>(index);
}

std::vector<PaletteEntry> GradientPalette(const uint8_t* pixels, unsigned width, unsigned channels)
{
    assert(channels >= 1 && channels <= 4 && "GradientPalette(): channels must be 1 to 4");
    std::vector<PaletteEntry> palette;
    palette.reserve(width);
    for (unsigned i = 0; i < width; ++i)
    {
        const uint8_t* p = pixels + size_t(i) * channels;
        // Grey is spread over red, green and blue; reading three bytes would
        // take the next pixel (and run off the end of a one-row picture).
        const bool grey = channels < 3;
        palette.emplace_back(static_cast<float>(p[0]), static_cast<float>(grey ? p[0] : p[1]),
                             static_cast<float>(grey ? p[0] : p[2]), 0.0f);
    }
    return palette;
}
