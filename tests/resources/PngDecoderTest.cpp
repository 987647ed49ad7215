// PNG decoding against files ImageMagick wrote, against files built here
// (IDAT split into pieces, lower-case chunk types, every filter type), the
// refused variants, and copies that lie about their sizes or whose data is
// cut short or corrupt.
#include "resources/PngDecoder.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

#include "DecoderTestSupport.h"
#include "resources/PictureFile.h"

using namespace decodertest;

namespace
{

const Decoder kPng{LoadPng, GetPngBits, GetPngWidth, GetPngHeight};

struct Chunk
{
    std::string type;
    std::vector<uint8_t> data;
};

std::vector<Chunk> SplitChunks(const std::vector<uint8_t>& file)
{
    std::vector<Chunk> chunks;
    for (size_t at = 8; at + 12 <= file.size();)
    {
        const size_t length = size_t(file[at]) << 24 | size_t(file[at + 1]) << 16 |
                              size_t(file[at + 2]) << 8 | file[at + 3];
        const auto data = file.begin() + long(at + 8);
        chunks.push_back({std::string(data - 4, data), {data, data + long(length)}});
        at += 12 + length;
    }
    return chunks;
}

std::vector<uint8_t> JoinChunks(const std::vector<Chunk>& chunks)
{
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (const Chunk& chunk : chunks)
    {
        const size_t at = file.size();
        file.resize(at + 4);
        PutBe32(file, at, uint32_t(chunk.data.size()));
        file.insert(file.end(), chunk.type.begin(), chunk.type.end());
        file.insert(file.end(), chunk.data.begin(), chunk.data.end());
        const uLong crc = crc32(0, &file[at + 4], uInt(4 + chunk.data.size()));
        file.resize(file.size() + 4);
        PutBe32(file, file.size() - 4, uint32_t(crc));
    }
    return file;
}

std::vector<uint8_t> Ihdr(uint32_t width, uint32_t height, uint8_t colourType)
{
    std::vector<uint8_t> data(13, 0);
    PutBe32(data, 0, width);
    PutBe32(data, 4, height);
    data[8] = 8;
    data[9] = colourType;
    return data;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data)
{
    uLongf size = compressBound(uLong(data.size()));
    std::vector<uint8_t> out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), uLong(data.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

// Filters top-first rows as an encoder would, row j with types[j].
std::vector<uint8_t> Filter(const std::vector<uint8_t>& raw, size_t rowBytes, size_t b,
                            const std::vector<int>& types)
{
    std::vector<uint8_t> out;
    for (size_t j = 0; j < types.size(); ++j)
    {
        out.push_back(uint8_t(types[j]));
        for (size_t i = 0; i < rowBytes; ++i)
        {
            const int a = i >= b ? raw[j * rowBytes + i - b] : 0;
            const int up = j > 0 ? raw[(j - 1) * rowBytes + i] : 0;
            const int c = j > 0 && i >= b ? raw[(j - 1) * rowBytes + i - b] : 0;
            const int p = a + up - c, pa = std::abs(p - a), pb = std::abs(p - up),
                      pc = std::abs(p - c);
            const int predictions[] = {0, a, up, (a + up) / 2,
                                       pa <= pb && pa <= pc ? a
                                       : pb <= pc           ? up
                                                            : c};
            out.push_back(uint8_t(raw[j * rowBytes + i] - predictions[types[j]]));
        }
    }
    return out;
}

class PngDecoderTest : public ScratchFiles
{
protected:
    std::vector<uint8_t> LoadBytes(const std::vector<uint8_t>& file, size_t size)
    {
        return Load(kPng, Write(file), size);
    }
};

} // namespace

TEST(PngDecoder, LoadsWhatImageMagickWrites)
{
    ExpectLikeImageMagick(kPng, {"grey.png", "grey.png.gray", 7, 3, 8});
    ExpectLikeImageMagick(kPng, {"greyalpha.png", "greyalpha.png.graya", 5, 3, 16});
    ExpectLikeImageMagick(kPng, {"rgb.png", "rgb.png.rgb", 5, 3, 24});
    ExpectLikeImageMagick(kPng, {"rgba.png", "rgba.png.rgba", 7, 2, 32});
}

TEST(PngDecoder, RefusesPaletteSixteenBitAndInterlacedFiles)
{
    const std::string palette = DataPath("palette.png");
    EXPECT_EQ(LoadPng(palette.c_str()), nullptr);
    EXPECT_EQ(GetPngBits(palette.c_str()), -1);
    EXPECT_EQ(GetPngWidth(palette.c_str()), 5);
    const std::string deep = DataPath("rgb16.png");
    EXPECT_EQ(LoadPng(deep.c_str()), nullptr);
    EXPECT_EQ(GetPngBits(deep.c_str()), -1);
    // Read as plain rows, interlaced data would give a scrambled picture.
    const std::string interlaced = DataPath("interlaced.png");
    EXPECT_EQ(LoadPng(interlaced.c_str()), nullptr);
    EXPECT_EQ(GetPngBits(interlaced.c_str()), 24);
}

TEST_F(PngDecoderTest, SplitIdatLowerCaseTypesAndMissingIendDecodeTheSame)
{
    const std::vector<uint8_t> expected = ReferencePixels("rgb.png.rgb", 15);
    const std::vector<Chunk> chunks = SplitChunks(ReadBytes(DataPath("rgb.png")));
    std::vector<Chunk> split, lower, noEnd;
    for (const Chunk& chunk : chunks)
    {
        if (chunk.type == "IDAT") // pieces of 1, 2, 3... bytes, and an empty one
        {
            split.push_back({"IDAT", {}});
            for (size_t at = 0, n = 1; at < chunk.data.size(); at += n++)
                split.push_back({"IDAT",
                                 {chunk.data.begin() + long(at),
                                  chunk.data.begin() + long(std::min(at + n, chunk.data.size()))}});
        }
        else
        {
            split.push_back(chunk);
        }
        const bool header = chunk.type == "IHDR", data = chunk.type == "IDAT";
        lower.push_back({header ? "ihdr" : data ? "iDaT" : chunk.type, chunk.data});
        if (chunk.type != "IEND")
            noEnd.push_back(chunk);
    }
    EXPECT_GT(split.size(), chunks.size() + 3);
    EXPECT_EQ(LoadBytes(JoinChunks(split), 45), expected);
    EXPECT_EQ(LoadBytes(JoinChunks(lower), 45), expected);
    EXPECT_EQ(GetPngBits(Write(JoinChunks(lower)).c_str()), 24);
    EXPECT_EQ(LoadBytes(JoinChunks(noEnd), 45), expected);
}

TEST_F(PngDecoderTest, UndoesEveryFilterTypeAtEveryPixelSize)
{
    std::mt19937 random(7);
    // Few levels, so the Paeth predictor meets ties, and levels near 0 and
    // 255, so the sums wrap.
    const uint8_t levels[] = {0, 1, 2, 3, 128, 253, 254, 255};
    const std::vector<int> types = {0, 1, 2, 3, 4, 4, 3, 2, 1, 0, 3, 4};
    const uint8_t colourTypes[] = {0, 4, 2, 6};
    for (size_t channels = 1; channels <= 4; ++channels)
    {
        const size_t rowBytes = 5 * channels;
        std::vector<uint8_t> raw(rowBytes * types.size());
        for (uint8_t& byte : raw)
            byte = levels[random() % 8];
        const std::vector<uint8_t> file =
            JoinChunks({{"IHDR", Ihdr(5, uint32_t(types.size()), colourTypes[channels - 1])},
                        {"IDAT", Deflate(Filter(raw, rowBytes, channels, types))},
                        {"IEND", {}}});
        EXPECT_EQ(LoadBytes(file, raw.size()), FlipRows(raw, rowBytes)) << channels;
    }
}

// A filter type above 4 names no filter: that row is zeros, and the row
// below it predicts from those zeros.
TEST_F(PngDecoderTest, RowsWithUnknownFiltersDecodeAsZeros)
{
    const std::vector<uint8_t> filtered = {1,   10, 20, 5,  // Sub
                                           5,   1,  2,  3,  // unknown
                                           2,   7,  8,  9,  // Up
                                           255, 4,  4,  4,  // unknown
                                           2,   6,  5,  4}; // Up
    const std::vector<uint8_t> file =
        JoinChunks({{"IHDR", Ihdr(3, 5, 0)}, {"IDAT", Deflate(filtered)}, {"IEND", {}}});
    const std::vector<uint8_t> expected = {6, 5, 4, 0, 0, 0, 7, 8, 9, 0, 0, 0, 10, 30, 35};
    EXPECT_EQ(LoadBytes(file, 15), expected);
}

TEST_F(PngDecoderTest, RefusesFilesThatLie)
{
    const std::vector<uint8_t> good = ReadBytes(DataPath("rgb.png"));
    const std::vector<Chunk> chunks = SplitChunks(good);
    const auto edited = [&](const char* type, const auto& edit)
    {
        std::vector<Chunk> copy;
        for (Chunk chunk : chunks)
            if (chunk.type != type || edit(chunk))
                copy.push_back(chunk);
        return Write(JoinChunks(copy));
    };
    const auto sized = [&](uint32_t width, uint32_t height)
    {
        return edited("IHDR", [&](Chunk& c)
                      { return PutBe32(c.data, 0, width), PutBe32(c.data, 4, height), true; });
    };
    const std::string lies[] = {
        edited("IDAT", [](Chunk&) { return false; }),
        edited("IHDR", [](Chunk&) { return false; }),
        edited("IHDR", [](Chunk& c) { return c.data.resize(12), true; }),
        edited("IEND", [&](Chunk& c) { return c = chunks[0], true; }), // a second IHDR
        edited("IHDR", [](Chunk& c) { return c.data[10] = 1, true; }), // compression method
        edited("IHDR", [](Chunk& c) { return c.data[11] = 1, true; }), // filter method
        sized(5, 4),                   // inflates to less than the header says
        sized(5, 2),                   // inflates to more
        sized(6, 3),                   // wider than the data
        sized(0, 3),                   // zero width
        sized(5, 0),                   // zero height
        sized(0x7FFFFFFF, 0x7FFFFFFF), // the largest PNG allows
        sized(0x10000, 0x10000)};      // more than 30 bytes of deflate could give
    for (const std::string& path : lies)
        EXPECT_EQ(LoadPng(path.c_str()), nullptr) << &path - lies;

    // Chunk lengths past the end, at the IDAT and at IHDR.
    const char kIdat[] = "IDAT";
    const size_t idat =
        size_t(std::search(good.begin(), good.end(), kIdat, kIdat + 4) - good.begin()) - 4;
    ASSERT_LT(idat + 8, good.size());
    for (uint32_t length : {0x31u, 0x7FFFFFF0u, 0xFFFFFFFFu})
    {
        for (size_t at : {idat, size_t(8)})
        {
            std::vector<uint8_t> file = good;
            PutBe32(file, at, length);
            EXPECT_EQ(LoadPng(Write(file).c_str()), nullptr);
            EXPECT_TRUE(at != 8 || GetPngWidth(Write(file).c_str()) == -1);
        }
    }

    // Any changed byte of the zlib stream breaks its structure or its
    // checksum, so none may pass for a picture.
    for (size_t at = idat + 8; at < idat + 8 + good[idat + 3]; ++at)
    {
        std::vector<uint8_t> file = good;
        file[at] ^= 0x5A;
        EXPECT_EQ(LoadPng(Write(file).c_str()), nullptr) << "byte " << at;
    }

    std::vector<uint8_t> file = good;
    file[1] = 'p';
    EXPECT_EQ(LoadPng(Write(file).c_str()), nullptr);
    EXPECT_EQ(GetPngBits(Write(file).c_str()), -1);

    // Losing IEND is harmless; losing any of the IDAT data is not.
    SweepTruncations(kPng, good, good.size() - 12, 8 + 8 + 13);
    for (const char* path : {"tests/data/images/no-such.png", "tests/data/images"})
    {
        EXPECT_EQ(LoadPng(path), nullptr);
        EXPECT_EQ(GetPngWidth(path), -1);
    }
}

// One column and row past 16384 x 16384 grey, with real data (zeros,
// deflated row by row): the file's 250 KB would allow the 268 MB it
// inflates to, so only the ceiling stands in the way.
TEST_F(PngDecoderTest, RefusesPicturesPastThePixelCeiling)
{
    const uint32_t side = 16385;
    ASSERT_GT(uint64_t(side) * side, kMaxPicturePixels);
    std::vector<uint8_t> data, out(1 << 16);
    const std::vector<uint8_t> row(side + 1, 0); // filter type 0, then the samples
    z_stream stream{};
    ASSERT_EQ(deflateInit2(&stream, 1, Z_DEFLATED, 15, 9, Z_RLE), Z_OK);
    for (uint32_t j = 0; j < side; ++j)
    {
        stream.next_in = const_cast<Bytef*>(row.data());
        stream.avail_in = uInt(row.size());
        do
        {
            stream.next_out = out.data();
            stream.avail_out = uInt(out.size());
            deflate(&stream, j + 1 == side ? Z_FINISH : Z_NO_FLUSH);
            data.insert(data.end(), out.begin(), out.end() - long(stream.avail_out));
        } while (stream.avail_out == 0);
    }
    ASSERT_EQ(deflateEnd(&stream), Z_OK);
    const std::string path =
        Write(JoinChunks({{"IHDR", Ihdr(side, side, 0)}, {"IDAT", data}, {"IEND", {}}}));
    EXPECT_EQ(GetPngWidth(path.c_str()), int(side));
    EXPECT_EQ(Pixels(LoadPng(path.c_str())), nullptr);
}
