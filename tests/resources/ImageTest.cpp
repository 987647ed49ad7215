// CImage: buffer ownership and copies, pixel addressing at the edges, the
// channel conversions and the block copy with its bottom-first row rules.
#include "resources/Image.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include <gtest/gtest.h>

namespace
{

std::vector<uint8_t> Bytes(const CImage& image)
{
    const uint8_t* p = image.GetPixels();
    return std::vector<uint8_t>(p, p + size_t(image.GetWidth()) * image.GetHeight() *
                                           image.GetChannels());
}

// Pixel bytes 1, 2, 3, ... so every misplaced byte shows.
CImage Numbered(unsigned width, unsigned height, unsigned channels)
{
    CImage image;
    image.Create(width, height, channels, int(channels * 8));
    const size_t count = size_t(width) * height * channels;
    for (size_t i = 0; i < count; ++i)
        image.GetPixels()[i] = uint8_t(i + 1);
    return image;
}

} // namespace

TEST(Image, CreateGivesAZeroedBufferAndRefusesCountsThatWrap)
{
    CImage image = Numbered(2, 2, 1);
    image.Create(4, 2, 3, 24);
    EXPECT_EQ(image.GetKind(), CResource::KindImage);
    EXPECT_EQ(Bytes(image), std::vector<uint8_t>(24, 0));
    EXPECT_EQ(image.GetBits(), 24);

    // 2^32 - 1 squared times 4 wraps 64 bits; the image must stay as it was.
    EXPECT_THROW(image.Create(0xFFFFFFFFu, 0xFFFFFFFFu, 4, 32), std::bad_alloc);
    EXPECT_EQ(image.GetWidth(), 4u);
    EXPECT_EQ(Bytes(image), std::vector<uint8_t>(24, 0));
}

TEST(Image, PixelAccessStopsAtTheEdges)
{
    CImage image = Numbered(3, 2, 4);
    EXPECT_EQ(image.GetPixel(3, 0), nullptr);
    EXPECT_EQ(image.GetPixel(0, 2), nullptr);
    EXPECT_EQ(image.GetPixel(2, 1), image.GetPixels() + 24 - 4);

    const std::vector<uint8_t> before = Bytes(image);
    const uint8_t value[4] = {200, 201, 202, 203};
    image.SetPixel(3, 0, value);
    image.SetPixel(0, 2, value);
    image.SetPixel(0xFFFFFFFFu, 0xFFFFFFFFu, value);
    EXPECT_EQ(Bytes(image), before);

    // Pixel (1, 1) is bytes 16 to 19; its neighbours keep theirs.
    std::vector<uint8_t> expected = before;
    std::copy(value, value + 4, expected.begin() + 16);
    image.SetPixel(1, 1, value);
    EXPECT_EQ(Bytes(image), expected);

    EXPECT_FLOAT_EQ(image.GetAspect(), 1.5f);
    image.Create(5, 0, 3, 24);
    EXPECT_EQ(image.GetAspect(), 0.0f);
}

TEST(Image, FreePixelsKeepsTheDimensions)
{
    CImage image = Numbered(4, 3, 3);
    image.FreePixels();
    EXPECT_EQ(image.GetPixels(), nullptr);
    EXPECT_EQ(image.GetWidth(), 4u);
    EXPECT_EQ(image.GetHeight(), 3u);
    EXPECT_EQ(image.GetPixel(0, 0), nullptr);
    EXPECT_EQ(image.GetPixel(3, 2), nullptr);
    const uint8_t value[3] = {1, 2, 3};
    image.SetPixel(0, 0, value);
    EXPECT_EQ(image.GetPixels(), nullptr);
}

TEST(Image, SetFromCopyOwnsItsCopyAndNullEmpties)
{
    uint8_t buffer[6] = {1, 2, 3, 4, 5, 6};
    CImage image;
    image.SetFromCopy(buffer, 2, 1, 3, 24);
    buffer[0] = 99;
    EXPECT_NE(image.GetPixels(), buffer);
    EXPECT_EQ(Bytes(image), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));

    // Copying from its own pixels must not read them after freeing them.
    image.SetFromCopy(image.GetPixels(), 1, 1, 3, 24);
    EXPECT_EQ(Bytes(image), (std::vector<uint8_t>{1, 2, 3}));

    image.SetFromCopy(nullptr, 7, 7, 4, 32);
    EXPECT_EQ(image.GetPixels(), nullptr);
    EXPECT_EQ(image.GetWidth(), 1u);
    EXPECT_EQ(image.GetChannels(), 3u);
}

TEST(Image, CopiesAreDeepAndCarryNamesAndDimensions)
{
    CImage source = Numbered(3, 2, 3);
    source.SetName("gradient");
    source.SetFileName("resources/gradients/a.png");

    CImage copy(source);
    EXPECT_EQ(copy.GetName(), String("gradient"));
    EXPECT_EQ(copy.GetFileName(), String("resources/gradients/a.png"));
    EXPECT_NE(copy.GetPixels(), source.GetPixels());
    EXPECT_EQ(Bytes(copy), Bytes(source));
    copy.GetPixels()[0] = 77;
    EXPECT_EQ(source.GetPixels()[0], 1);

    CImage assigned = Numbered(1, 1, 1);
    assigned = source;
    EXPECT_EQ(Bytes(assigned), Bytes(source));
    EXPECT_EQ(assigned.GetBits(), 24);

    CImage& self = assigned;
    assigned = self;
    EXPECT_EQ(Bytes(assigned), Bytes(source));

    source.FreePixels();
    CImage emptyCopy(source);
    EXPECT_EQ(emptyCopy.GetPixels(), nullptr);
    EXPECT_EQ(emptyCopy.GetWidth(), 3u);
    EXPECT_EQ(emptyCopy.GetHeight(), 2u);
}

TEST(Image, AdoptTakesTheBufferWithoutCopying)
{
    CImage image = Numbered(2, 2, 1);
    uint8_t* buffer = new uint8_t[6]{1, 2, 3, 4, 5, 6};
    image.Adopt(buffer, 1, 2, 3, 24);
    EXPECT_EQ(image.GetPixels(), buffer);
    EXPECT_EQ(image.GetHeight(), 2u);
    EXPECT_EQ(image.GetBits(), 24);
    // Adopting the buffer it already owns must not free it.
    image.Adopt(buffer, 2, 1, 3, 24);
    EXPECT_EQ(Bytes(image), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(Image, ConvertChannelsDoesTheRequiredConversions)
{
    CImage rgba;
    const uint8_t rgbaPixels[8] = {255, 255, 254, 0, 10, 20, 31, 200};
    rgba.SetFromCopy(rgbaPixels, 2, 1, 4, 32);
    CImage rgb = rgba;

    rgba.ConvertChannels(1);
    EXPECT_EQ(Bytes(rgba), (std::vector<uint8_t>{254, 20}));
    EXPECT_EQ(rgba.GetChannels(), 1u);
    EXPECT_EQ(rgba.GetBits(), 8);

    rgb.ConvertChannels(3);
    EXPECT_EQ(Bytes(rgb), (std::vector<uint8_t>{255, 255, 254, 10, 20, 31}));
    EXPECT_EQ(rgb.GetBits(), 24);
    rgb.ConvertChannels(4);
    EXPECT_EQ(Bytes(rgb), (std::vector<uint8_t>{255, 255, 254, 255, 10, 20, 31, 255}));
    EXPECT_EQ(rgb.GetBits(), 32);

    CImage grey;
    const uint8_t greyPixels[2] = {7, 128};
    grey.SetFromCopy(greyPixels, 1, 2, 1, 8);
    CImage greyToRgb = grey;
    grey.ConvertChannels(4);
    EXPECT_EQ(Bytes(grey), (std::vector<uint8_t>{7, 7, 7, 255, 128, 128, 128, 255}));
    greyToRgb.ConvertChannels(3);
    EXPECT_EQ(Bytes(greyToRgb), (std::vector<uint8_t>{7, 7, 7, 128, 128, 128}));
    EXPECT_EQ(greyToRgb.GetHeight(), 2u);
}

TEST(Image, GreyAlphaConvertsAsGreyKeepingItsAlpha)
{
    CImage source;
    const uint8_t pixels[4] = {40, 90, 200, 3};
    source.SetFromCopy(pixels, 2, 1, 2, 16);

    CImage toGrey = source;
    toGrey.ConvertChannels(1);
    EXPECT_EQ(Bytes(toGrey), (std::vector<uint8_t>{40, 200}));
    CImage toRgb = source;
    toRgb.ConvertChannels(3);
    EXPECT_EQ(Bytes(toRgb), (std::vector<uint8_t>{40, 40, 40, 200, 200, 200}));
    CImage toRgba = source;
    toRgba.ConvertChannels(4);
    EXPECT_EQ(Bytes(toRgba), (std::vector<uint8_t>{40, 40, 40, 90, 200, 200, 200, 3}));
}

TEST(Image, ConvertChannelsIgnoresUnsupportedRequests)
{
    CImage image = Numbered(2, 2, 3);
    const uint8_t* pixels = image.GetPixels();
    const std::vector<uint8_t> before = Bytes(image);
    for (unsigned channels : {2u, 3u, 0u, 5u})
    {
        image.ConvertChannels(channels);
        EXPECT_EQ(image.GetPixels(), pixels) << channels;
        EXPECT_EQ(image.GetChannels(), 3u) << channels;
        EXPECT_EQ(image.GetBits(), 24) << channels;
    }
    EXPECT_EQ(Bytes(image), before);

    // Nothing to convert: the image must not read a missing buffer.
    image.FreePixels();
    image.ConvertChannels(4);
    EXPECT_EQ(image.GetPixels(), nullptr);
    EXPECT_EQ(image.GetChannels(), 3u);
}

TEST(Image, BlitWholePutsTheSourceInTheTopLeftCorner)
{
    const CImage source = Numbered(3, 2, 1); // rows (1 2 3) and (4 5 6)
    CImage image;
    image.Create(4, 4, 1, 8);
    image.BlitWhole(source);
    EXPECT_EQ(Bytes(image), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 0, 4, 5, 6, 0}));
}

TEST(Image, BlitConvertsTheSourceToTheDestinationChannels)
{
    CImage source;
    const uint8_t pixel[3] = {10, 20, 30};
    source.SetFromCopy(pixel, 1, 1, 3, 24);
    CImage image;
    image.Create(2, 1, 4, 32);
    image.Blit(source, 1, 0, 0, 0, 1, 1);
    EXPECT_EQ(Bytes(image), (std::vector<uint8_t>{0, 0, 0, 0, 10, 20, 30, 255}));
    EXPECT_EQ(source.GetChannels(), 3u);
}

TEST(Image, BlitClipsColumnsButRefusesRowsThatDoNotFit)
{
    const CImage source = Numbered(4, 3, 1); // rows (1..4) (5..8) (9..12)
    CImage image;
    image.Create(3, 3, 1, 8);

    // Source rows 1 and 2, columns 2 and 3 (cut by the source's width), one
    // row below the top, at column 2 (cut by the destination's width).
    image.Blit(source, 2, 1, 2, 1, 5, 9);
    EXPECT_EQ(Bytes(image), (std::vector<uint8_t>{0, 0, 7, 0, 0, 11, 0, 0, 0}));

    const std::vector<uint8_t> before = Bytes(image);
    image.Blit(source, 0, 2, 0, 0, 1, 2); // two rows, one row of room
    image.Blit(source, 3, 0, 0, 0, 1, 1); // starts right of the image
    image.Blit(source, 0, 0, 4, 0, 1, 1); // starts right of the source
    image.Blit(source, 0, 0, 0, 3, 1, 1); // starts above the source
    image.Blit(source, 0, 0, 0, 0, 0, 1); // no columns
    EXPECT_EQ(Bytes(image), before);

    CImage grey2;
    grey2.Create(2, 2, 2, 16);
    grey2.Blit(source, 0, 0, 0, 0, 1, 1); // no conversion to two channels
    EXPECT_EQ(Bytes(grey2), std::vector<uint8_t>(8, 0));

    CImage empty;
    empty.Blit(source, 0, 0, 0, 0, 1, 1);
    EXPECT_EQ(empty.GetPixels(), nullptr);
}

TEST(Image, BlitFromItselfReadsTheOriginalRows)
{
    CImage image = Numbered(2, 3, 1); // rows (1 2) (3 4) (5 6)
    // Rows 0 and 1 go to rows 1 and 2; a copy that read as it wrote would
    // put row 0 twice.
    image.Blit(image, 0, 0, 0, 0, 2, 2);
    EXPECT_EQ(Bytes(image), (std::vector<uint8_t>{1, 2, 1, 2, 3, 4}));
}
