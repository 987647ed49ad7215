// LoadPicture against each format's own loader and probes, the refusals
// (endings it does not know, files their decoder refuses) that must leave
// the image as it was, and sources no decoder may read at all.
#include "resources/PictureFile.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

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
    const auto state = [&image]
    {
        return std::make_tuple(image.GetPixels(), image.GetWidth(), image.GetHeight(),
                               image.GetChannels(), image.GetBits());
    };
    const auto before = state();
    for (const std::string& path : refused)
    {
        EXPECT_FALSE(LoadPicture(path.c_str(), image)) << path;
        EXPECT_EQ(state(), before) << path;
    }
    // The same bytes under their own ending do load.
    EXPECT_TRUE(LoadPicture(Write(png, "rgb.png").c_str(), image));
    EXPECT_EQ(image.GetWidth(), 5u);
}

// /dev/zero would be read until memory ran out, a FIFO would hold the open
// up waiting for a writer, and a file past the size bound is not read even
// when its picture would be fine: all fail at once, like missing files.
TEST_F(PictureFileTest, DevicesPipesAndHugeFilesAreNeverRead)
{
    std::vector<uint8_t> head = ReadBytes(DataPath("rgb53.bmp"));
    head.resize(138);
    PutLe32(head, 10, uint32_t(kMaxPictureFileBytes)); // 5 x 3 pixels at the far end
    const std::string huge = Write(head, "huge.bmp");
    std::filesystem::resize_file(huge, kMaxPictureFileBytes + 48); // sparse
    const struct
    {
        const char* ending;
        const Decoder& decoder;
    } formats[] = {{".bmp", kBmp}, {".jpg", kJpg}, {".png", kPng}, {".tga", kTga}};
    CImage image;
    for (const auto& format : formats)
    {
        const std::string zero = (m_dir / (std::string("zero") + format.ending)).string();
        const std::string pipe = (m_dir / (std::string("pipe") + format.ending)).string();
        std::filesystem::create_symlink("/dev/zero", zero);
        ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
        for (const std::string& path : {zero, pipe, huge})
        {
            SCOPED_TRACE(path);
            EXPECT_EQ(Pixels(format.decoder.load(path.c_str())), nullptr);
            for (Probe probe : {format.decoder.bits, format.decoder.width, format.decoder.height})
                EXPECT_EQ(probe(path.c_str()), -1);
            EXPECT_FALSE(LoadPicture(path.c_str(), image));
        }
    }
    EXPECT_EQ(image.GetPixels(), nullptr);
}
