// The built-in palette's bands and how its fractional values reach pixels.
#include "fractal/Palette.h"

#include <cstdint>

#include <gtest/gtest.h>

#include "fractal/Fractal.h"

TEST(BuiltInPalette, RunsThroughBlueCyanGreenYellowToRed)
{
    const std::vector<PaletteEntry> palette = BuiltInPalette();
    ASSERT_EQ(palette.size(), 768u);
    const int index[] = {0, 3, 255, 256, 384, 511, 512, 640, 767};
    const PaletteEntry expected[] = {{0, 0, 0},   {0, 0, 2.25f}, {0, 0, 191.25f},
                                     {0, 0, 255}, {0, 128, 127}, {0, 255, 0},
                                     {0, 255, 0}, {128, 127, 0}, {255, 0, 0}};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(palette[index[i]], expected[i]) << "entry " << index[i];
}

TEST(BuiltInPalette, FractionalEntriesTruncateToBytes)
{
    CFractal fractal;
    fractal.SetPalette(BuiltInPalette());
    fractal.SetIterationLimit(768); // value v then picks entry ⌊v⌋
    fractal.ResetJob(1, 1);
    uint8_t rgb[3];
    fractal.PixelColour(3.5, rgb);
    EXPECT_EQ(rgb[2], 2); // 2.25
    fractal.PixelColour(255.0, rgb);
    EXPECT_EQ(rgb[2], 191); // 191.25
}
