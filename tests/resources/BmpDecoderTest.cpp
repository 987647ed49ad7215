// BMP decoding against files ImageMagick wrote (odd widths, so every row is
// padded; 40- and 124-byte headers; bit-field masks), top-down files, the
// refusals, and copies whose headers lie or whose data is cut short.
#include "resources/BmpDecoder.h"

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DecoderTestSupport.h"

using namespace decodertest;

namespace
{

const Decoder kBmp{LoadBmp, GetBmpBits, GetBmpWidth, GetBmpHeight};

class BmpDecoderTest : public ScratchFiles
{
};

} // namespace

TEST(BmpDecoder, LoadsWhatImageMagickWritesWithPaddedRows)
{
    ExpectLikeImageMagick(kBmp, {"rgb53.bmp", "rgb53.bmp.rgb", 5, 3, 24});    // 124-byte header
    ExpectLikeImageMagick(kBmp, {"rgb72.bmp", "rgb72.bmp.rgb", 7, 2, 24});    // 40-byte header
    ExpectLikeImageMagick(kBmp, {"rgba53.bmp", "rgba53.bmp.rgba", 5, 3, 32}); // bit fields
    ExpectLikeImageMagick(kBmp, {"rgba72.bmp", "rgba72.bmp.rgba", 7, 2, 32}); // uncompressed
}

TEST(BmpDecoder, LoadsPaletteIndicesAsGrey)
{
    const std::string path = DataPath("palette73.bmp");
    const std::vector<uint8_t> file = ReadBytes(path);
    ASSERT_GT(file.size(), 14u + 124 + 4 * 256);
    const std::vector<uint8_t> expected =
        IndicesOf(ReferencePixels("palette73.bmp.rgb", 7 * 3), &file[14 + file[14]], 256, 4);
    ASSERT_EQ(expected.size(), 21u);
    EXPECT_EQ(GetBmpBits(path.c_str()), 8);
    EXPECT_EQ(Load(kBmp, path, expected.size()), expected);
}

TEST_F(BmpDecoderTest, TurnsTopDownFilesBottomUp)
{
    const std::vector<uint8_t> file = ReadBytes(DataPath("rgb53.bmp"));
    const size_t offset = file[10], stride = 16; // 5 x 3 bytes padded to 16
    ASSERT_EQ(file.size(), offset + 3 * stride);
    std::vector<uint8_t> topDown(file.begin(), file.begin() + long(offset));
    const std::vector<uint8_t> rows = FlipRows({file.begin() + long(offset), file.end()}, stride);
    topDown.insert(topDown.end(), rows.begin(), rows.end());
    PutLe32(topDown, 22, uint32_t(-3));
    const std::string path = Write(topDown);
    EXPECT_EQ(GetBmpHeight(path.c_str()), 3);
    EXPECT_EQ(Load(kBmp, path, 45), ReferencePixels("rgb53.bmp.rgb", 15));
}

TEST_F(BmpDecoderTest, RefusesCompressionAndDepthsItCannotRead)
{
    const std::string rle = DataPath("rle73.bmp");
    EXPECT_EQ(LoadBmp(rle.c_str()), nullptr);
    EXPECT_EQ(GetBmpWidth(rle.c_str()), 7);
    EXPECT_EQ(GetBmpHeight(rle.c_str()), 3);
    EXPECT_EQ(GetBmpBits(rle.c_str()), 8);

    const std::vector<uint8_t> rgb = ReadBytes(DataPath("rgb53.bmp"));
    std::vector<uint8_t> file = rgb;
    PutLe16(file, 28, 16);
    EXPECT_EQ(LoadBmp(Write(file).c_str()), nullptr);
    EXPECT_EQ(GetBmpBits(Write(file).c_str()), 16);
    PutLe16(file, 28, 0xFFE8); // -24, sign-extended
    EXPECT_EQ(GetBmpBits(Write(file).c_str()), -24);

    // Bit fields are taken only at 32 bits in plain blue-green-red order.
    file = rgb;
    PutLe32(file, 30, 3);
    EXPECT_EQ(LoadBmp(Write(file).c_str()), nullptr);
    file = ReadBytes(DataPath("rgba53.bmp"));
    PutLe32(file, 54, 0x000000FF);
    PutLe32(file, 62, 0x00FF0000);
    EXPECT_EQ(LoadBmp(Write(file).c_str()), nullptr);
}

TEST_F(BmpDecoderTest, RefusesFilesThatLie)
{
    const std::vector<uint8_t> good = ReadBytes(DataPath("rgb53.bmp")); // data at 138
    const struct
    {
        size_t at;
        uint32_t value;
    } lies[] = {{18, 0},
                {22, 0},
                {18, uint32_t(-5)},
                {22, uint32_t(INT_MIN)},
                {18, 0x7FFFFFFF},
                {22, 0x7FFFFFFF},
                {18, 6} /* longer rows */,
                {22, 4} /* one row more */,
                {10, 0xFFFFFFF0} /* data past the end */,
                {10, 20} /* data inside the header */,
                {14, 12} /* info header too short */,
                {14, 0x10000} /* info header past the end */};
    for (const auto& lie : lies)
    {
        std::vector<uint8_t> file = good;
        PutLe32(file, lie.at, lie.value);
        EXPECT_EQ(LoadBmp(Write(file).c_str()), nullptr) << lie.at << " = " << lie.value;
    }
    std::vector<uint8_t> file = good; // a product that overflows 32 bits
    PutLe32(file, 18, 0x10000);
    PutLe32(file, 22, 0x10000);
    EXPECT_EQ(LoadBmp(Write(file).c_str()), nullptr);
    PutLe32(file, 18, uint32_t(-5));
    PutLe32(file, 22, uint32_t(INT_MIN));
    EXPECT_EQ(GetBmpWidth(Write(file).c_str()), -1);
    EXPECT_EQ(GetBmpHeight(Write(file).c_str()), -1);

    // The last row may lack its padding byte; any shorter file is refused.
    SweepTruncations(kBmp, good, good.size() - 1, 54);
    SweepTruncations(kBmp, ReadBytes(DataPath("rgba53.bmp")), 198, 54);
    for (const char* path : {"tests/data/images/no-such.bmp", "tests/data/images"})
    {
        EXPECT_EQ(LoadBmp(path), nullptr);
        EXPECT_EQ(GetBmpBits(path), -1);
    }
}
