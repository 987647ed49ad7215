// Gradient palettes read without a GL context: the bottom row becomes the
// palette, grey pictures are spread over red, green and blue, and files that
// cannot be decoded give the built-in palette. The shipped gradients are
// checked too.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Mandelbrot.h"
#include "resources/PngDecoder.h"
#include "resources/PngEncoder.h"

namespace
{

// A width × height PNG whose every byte is fn(x, y, channel).
template <typename Fn>
std::string WriteGradient(const char* name, unsigned width, unsigned height, unsigned channels,
                          Fn fn)
{
    std::vector<uint8_t> pixels;
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            for (unsigned k = 0; k < channels; ++k)
                pixels.push_back(uint8_t(fn(x, y, k)));
    const std::string path = ::testing::TempDir() + name;
    WritePng(path.c_str(), width, height, int(channels * 8), pixels.data());
    return path;
}

std::string WriteText(const char* name, const char* text)
{
    const std::string path = ::testing::TempDir() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs(text, file);
    std::fclose(file);
    return path;
}

PaletteEntry Entry(float r, float g, float b)
{
    return PaletteEntry(r, g, b, 0.0f);
}

} // namespace

TEST(Gradient, BottomRowBecomesThePalette)
{
    // The top row differs, so a palette from the wrong row shows.
    const std::string path = WriteGradient("gradient300.png", 300, 2, 3,
                                           [](unsigned x, unsigned y, unsigned k)
                                           { return y == 0 ? (x + 80 * k) % 256 : 255 - k; });
    CMandelbrot fractal{String("")};
    ASSERT_TRUE(fractal.ReadGradient(String(path.c_str())));
    const std::vector<PaletteEntry>& palette = fractal.GetPalette();
    ASSERT_EQ(palette.size(), 300u);
    for (unsigned i = 0; i < 300; ++i)
        ASSERT_EQ(palette[i], Entry(float(i % 256), float((i + 80) % 256), float((i + 160) % 256)))
            << i;

    // Half the limit takes the middle entry.
    fractal.SetIterationLimit(100);
    fractal.ResetJob(1, 1);
    uint8_t rgb[3];
    fractal.PixelColour(50.0, rgb);
    EXPECT_EQ(rgb[0], 150);
    EXPECT_EQ(rgb[1], 230);
    EXPECT_EQ(rgb[2], (150 + 160) % 256);

    // The whole picture waits in the palette texture, not yet uploaded.
    const CTexture& texture = fractal.GetPaletteTexture();
    ASSERT_NE(texture.GetPixels(), nullptr);
    EXPECT_EQ(texture.GetWidth(), 300u);
    EXPECT_EQ(texture.GetHeight(), 2u);
    EXPECT_EQ(texture.GetChannels(), 3u);
    EXPECT_EQ(texture.GetBits(), 24);
    EXPECT_EQ(texture.GetPixel(0, 1)[0], 255);
    EXPECT_EQ(texture.GetTextureName(), 0u);

    // Every load replaces the palette as a whole; alpha is not a colour.
    const std::string small =
        WriteGradient("gradient_rgba.png", 4, 1, 4,
                      [](unsigned x, unsigned, unsigned k) { return k == 3 ? 7 : 10 * x + k; });
    ASSERT_TRUE(fractal.ReadGradient(String(small.c_str())));
    ASSERT_EQ(fractal.GetPalette().size(), 4u);
    EXPECT_EQ(fractal.GetPalette()[3], Entry(30, 31, 32));
    EXPECT_EQ(fractal.GetPaletteTexture().GetChannels(), 4u);
}

TEST(Gradient, GreyPicturesGiveGreyEntries)
{
    // One row only: reading three bytes per grey pixel would also run off
    // the end of the buffer.
    const std::string grey = WriteGradient(
        "gradient_grey.png", 5, 1, 1, [](unsigned x, unsigned, unsigned) { return 40 * x + 3; });
    const std::string greyAlpha = WriteGradient("gradient_greyalpha.png", 5, 1, 2,
                                                [](unsigned x, unsigned, unsigned k)
                                                { return k == 0 ? 40 * x + 3 : 250 - x; });
    for (const std::string& path : {grey, greyAlpha})
    {
        SCOPED_TRACE(path);
        CMandelbrot fractal{String("")};
        ASSERT_TRUE(fractal.ReadGradient(String(path.c_str())));
        ASSERT_EQ(fractal.GetPalette().size(), 5u);
        for (unsigned i = 0; i < 5; ++i)
        {
            const float g = float(40 * i + 3);
            EXPECT_EQ(fractal.GetPalette()[i], Entry(g, g, g)) << i;
        }
    }
}

TEST(Gradient, UndecodableFilesGiveTheBuiltInPaletteAndKeepThePicture)
{
    CMandelbrot fractal{String("")};
    const std::string good =
        WriteGradient("gradient_keep.png", 6, 3, 3,
                      [](unsigned x, unsigned y, unsigned k) { return x + 10 * y + 100 * k; });
    ASSERT_TRUE(fractal.ReadGradient(String(good.c_str())));
    const uint8_t* picture = fractal.GetPaletteTexture().GetPixels();
    ASSERT_NE(picture, nullptr);

    const std::string refused[] = {
        WriteText("gradient.txt", "this is not a picture\n"),
        ::testing::TempDir() + "no_such_gradient.png",
        "tests/data/images/palette.png", // colour type 3
        "tests/data/images/rgb16.png",   // 16 bits per sample
    };
    for (const std::string& path : refused)
    {
        SCOPED_TRACE(path);
        EXPECT_FALSE(fractal.ReadGradient(String(path.c_str())));
        EXPECT_EQ(fractal.GetPalette(), BuiltInPalette());
        EXPECT_EQ(fractal.GetPaletteTexture().GetPixels(), picture);
        EXPECT_EQ(fractal.GetPaletteTexture().GetWidth(), 6u);
        EXPECT_EQ(fractal.GetPaletteTexture().GetHeight(), 3u);
    }
    // The refused files really are there to refuse.
    EXPECT_EQ(GetPngBits("tests/data/images/palette.png"), -1);
    EXPECT_EQ(GetPngBits("tests/data/images/rgb16.png"), -1);
}

TEST(Gradient, EveryShippedGradientDecodesToAPaletteOfItsWidth)
{
    unsigned count = 0;
    bool hasStartGradient = false;
    for (const auto& entry : std::filesystem::directory_iterator("resources/gradients"))
    {
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        hasStartGradient = hasStartGradient || entry.path().filename() == "!vemmo.png";
        ++count;
        CMandelbrot fractal{String("")};
        ASSERT_TRUE(fractal.ReadGradient(String(path.c_str())));
        EXPECT_EQ(fractal.GetPalette().size(), size_t(GetPngWidth(path.c_str())));
        EXPECT_GE(fractal.GetPalette().size(), 256u);
    }
    EXPECT_TRUE(hasStartGradient);
    EXPECT_GE(count, 7u);
}
