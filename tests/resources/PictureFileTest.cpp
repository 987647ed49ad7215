// LoadPicture against each format's own loader and probes, and the refusals
// (endings it does not know, files their decoder refuses) that must leave
// the image as it was.
#include "resources/PictureFile.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DecoderTestSupport.h"
#include "resources/BmpDecoder.h"
#include "resources/Image.h"
#include "resources/JpegDecoder.h"
#include "resources/PngDecoder.h"
#include "resources/TgaDecoder.h"

using namespace decodertest;

namespace
{

const Decoder kBmp{LoadBmp, GetBmpBits, GetBmpWidth, GetBmpHeight};
const Decoder kJpg{LoadJpg, GetJpgBits, GetJpgWidth, GetJpgHeight};
const Decoder kPng{LoadPng, GetPngBits, GetPngWidth, GetPngHeight};
const Decoder kTga{LoadTga, GetTgaBits, GetTgaWidth, GetTgaHeight};

class PictureFileTest : public ScratchFiles
{
};

} // namespace

TEST(PictureFile, EachEndingDecodesLikeItsLoaderWithTheProbedSize)
{
    const struct
    {
        const char* file;
        const Decoder& decoder;
    } cases[] = {{"rgb53.bmp", kBmp},     {"rgba53.bmp", kBmp}, {"palette73.bmp", kBmp},
                 {"grey.jpg", kJpg},      {"rgb420.jpg", kJpg}, {"grey.png", kPng},
                 {"greyalpha.png", kPng}, {"rgba.png", kPng},   {"rgb.tga", kTga},
                 {"grey.tga", kTga}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        const std::string path = DataPath(c.file);
        CImage image;
        ASSERT_TRUE(LoadPicture(path.c_str(), image));
        const int bits = c.decoder.bits(path.c_str());
        EXPECT_EQ(int(image.GetWidth()), c.decoder.width(path.c_str()));
        EXPECT_EQ(int(image.GetHeight()), c.decoder.height(path.c_str()));
        EXPECT_EQ(image.GetBits(), bits);
        EXPECT_EQ(image.GetChannels(), unsigned(bits / 8));
        const size_t size = size_t(image.GetWidth()) * image.GetHeight() * image.GetChannels();
        const Pixels loaded(c.decoder.load(path.c_str()));
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(std::memcmp(image.GetPixels(), loaded.get(), size), 0);
    }
}

TEST_F(PictureFileTest, RefusalsLeaveTheImageAsItWas)
{
    const std::vector<uint8_t> png = ReadBytes(DataPath("rgb.png"));
    const std::string refused[] = {Write(png, "upper.PNG"),       Write(png, "png"),
                                   Write(png, "rgb.png.bak"),     Write(png, "rgb.jpeg"),
                                   Write(png, "x.bmp"), // a PNG under another ending
                                   Write({'n', 'o'}, "text.png"), (m_dir / "missing.tga").string()};
    CImage image;
    image.Create(2, 1, 4, 32);
    image.GetPixels()[0] = 9;
    const uint8_t* pixels = image.GetPixels();
    for (const std::string& path : refused)
    {
        SCOPED_TRACE(path);
        EXPECT_FALSE(LoadPicture(path.c_str(), image));
        EXPECT_EQ(image.GetPixels(), pixels);
        EXPECT_EQ(image.GetPixels()[0], 9);
        EXPECT_EQ(image.GetWidth(), 2u);
        EXPECT_EQ(image.GetHeight(), 1u);
        EXPECT_EQ(image.GetChannels(), 4u);
        EXPECT_EQ(image.GetBits(), 32);
    }
    // The same bytes under their own ending do load.
    EXPECT_TRUE(LoadPicture(Write(png, "rgb.png").c_str(), image));
    EXPECT_EQ(image.GetWidth(), 5u);
}
