// Targa decoding against files ImageMagick wrote (truecolour, alpha, grey,
// colour-mapped), the identification field and origin bit, the refusals,
// and copies whose headers lie or whose data is cut short.
#include "resources/TgaDecoder.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DecoderTestSupport.h"

using namespace decodertest;

namespace
{

const Decoder kTga{LoadTga, GetTgaBits, GetTgaWidth, GetTgaHeight};

class TgaDecoderTest : public ScratchFiles
{
};

} // namespace

TEST(TgaDecoder, LoadsWhatImageMagickWrites)
{
    ExpectLikeImageMagick(kTga, {"rgb.tga", "rgb.tga.rgb", 5, 3, 24});
    ExpectLikeImageMagick(kTga, {"rgba.tga", "rgba.tga.rgba", 7, 2, 32});
    ExpectLikeImageMagick(kTga, {"grey.tga", "grey.tga.gray", 7, 3, 8});
}

TEST(TgaDecoder, SkipsTheColourMapAndLoadsIndicesAsGrey)
{
    const std::string path = DataPath("palette.tga");
    const std::vector<uint8_t> file = ReadBytes(path);
    ASSERT_GE(file.size(), 18u);
    ASSERT_EQ(file[1], 1);  // has a colour map
    ASSERT_EQ(file[7], 24); // of 3-byte entries
    const std::vector<uint8_t> expected =
        IndicesOf(ReferencePixels("palette.tga.rgb", 5 * 3), &file[18 + file[0]], file[5], 3);
    ASSERT_EQ(expected.size(), 15u);
    EXPECT_EQ(GetTgaBits(path.c_str()), 8);
    EXPECT_EQ(Load(kTga, path, expected.size()), expected);
}

TEST_F(TgaDecoderTest, HonoursTheIdentificationFieldAndTopLeftOrigin)
{
    const std::vector<uint8_t> good = ReadBytes(DataPath("rgb.tga"));
    const std::vector<uint8_t> expected = ReferencePixels("rgb.tga.rgb", 15);
    ASSERT_EQ(good.size(), 18u + 45);

    std::vector<uint8_t> named = good;
    const std::string name = "name";
    named[0] = uint8_t(name.size());
    named.insert(named.begin() + 18, name.begin(), name.end());
    EXPECT_EQ(Load(kTga, Write(named), 45), expected);

    std::vector<uint8_t> topLeft(good.begin(), good.begin() + 18);
    topLeft[17] |= 0x20;
    const std::vector<uint8_t> rows = FlipRows({good.begin() + 18, good.end()}, 15);
    topLeft.insert(topLeft.end(), rows.begin(), rows.end());
    EXPECT_EQ(Load(kTga, Write(topLeft), 45), expected);
}

TEST_F(TgaDecoderTest, RefusesRunLengthAndUnsupportedDepths)
{
    const std::string rle = DataPath("rle.tga");
    EXPECT_EQ(LoadTga(rle.c_str()), nullptr);
    EXPECT_EQ(GetTgaWidth(rle.c_str()), 5);
    std::vector<uint8_t> file = ReadBytes(DataPath("rgb.tga"));
    file[16] = 16;
    EXPECT_EQ(LoadTga(Write(file).c_str()), nullptr);
    EXPECT_EQ(GetTgaBits(Write(file).c_str()), 16);
}

TEST_F(TgaDecoderTest, RefusesFilesThatLie)
{
    const std::vector<uint8_t> good = ReadBytes(DataPath("palette.tga"));
    const struct
    {
        size_t at;
        uint16_t value;
    } lies[] = {{12, 0},      {14, 0},      // zero width, zero height
                {12, 0xFFFF}, {14, 0xFFFF}, // more pixels than the file holds
                {14, 4},                    // one row more than there is
                {5, 0xFFFF}};               // colour map past the end
    for (const auto& lie : lies)
    {
        std::vector<uint8_t> file = good;
        PutLe16(file, lie.at, lie.value);
        EXPECT_EQ(LoadTga(Write(file).c_str()), nullptr) << lie.at << " = " << lie.value;
    }
    std::vector<uint8_t> file = good;
    file[0] = 0xFF; // identification past the end
    EXPECT_EQ(LoadTga(Write(file).c_str()), nullptr);
    SweepTruncations(kTga, good, good.size(), 18);
    EXPECT_EQ(LoadTga("tests/data/images/no-such.tga"), nullptr);
    EXPECT_EQ(GetTgaHeight("tests/data/images/no-such.tga"), -1);
}
