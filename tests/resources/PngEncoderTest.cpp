// WritePng against an independent reader: the documented filtered bytes, the
// chunk layout and CRCs, colour types, exact round trips (also of data that
// deflate cannot shrink), byte for byte the file a one-shot encoder makes,
// and the cases that must write nothing.
#include "resources/PngEncoder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

#include "PngTestReader.h"
#include "support/ScratchDir.h"

namespace fs = std::filesystem;

namespace
{

class PngEncoderTest : public ::testing::Test
{
protected:
    std::string PathOf(const char* name) const { return (m_dir / name).string(); }

    ScratchDir m_scratch{"vemmo-png"};
    const fs::path& m_dir = m_scratch.Path();
};

std::vector<uint8_t> RandomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes)
        byte = uint8_t(random());
    return bytes;
}

// The encoder takes rows bottom first; the reader gives them top first.
std::vector<uint8_t> FlipRows(const std::vector<uint8_t>& pixels, size_t stride)
{
    std::vector<uint8_t> flipped;
    for (size_t row = pixels.size() / stride; row-- > 0;)
        flipped.insert(flipped.end(), pixels.begin() + long(row * stride),
                       pixels.begin() + long((row + 1) * stride));
    return flipped;
}

void AppendChunk(std::vector<uint8_t>& file, const char* type, const std::vector<uint8_t>& data)
{
    auto put = [&file](uint32_t value)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            file.push_back(uint8_t(value >> shift));
    };
    put(uint32_t(data.size()));
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(type), 4);
    // crc32 with a null buffer returns its seed, so skip empty data.
    if (!data.empty())
        crc = crc32(crc, data.data(), uInt(data.size()));
    put(uint32_t(crc));
}

// The whole file as the encoder once made it in one go: every row filtered
// into one buffer, then one zlib call at level 9. WritePng streams its rows,
// and must still give these very bytes.
std::vector<uint8_t> OneShotPng(uint32_t width, uint32_t height, int bits,
                                const std::vector<uint8_t>& pixels)
{
    const size_t bpp = size_t(bits / 8);
    const size_t stride = width * bpp;
    std::vector<uint8_t> filtered;
    for (uint32_t j = 0; j < height; ++j)
    {
        const uint8_t* raw = &pixels[(height - 1 - j) * stride];
        const uint8_t* up = j == 0 ? nullptr : raw + stride;
        filtered.push_back(j == 0 ? 1 : 4);
        for (size_t i = 0; i < stride; ++i)
        {
            const int a = i >= bpp ? raw[i - bpp] : 0;
            const int b = up ? up[i] : 0;
            const int c = up && i >= bpp ? up[i - bpp] : 0;
            const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
            const int predictor = !up ? a : (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
            filtered.push_back(uint8_t(raw[i] - predictor));
        }
    }
    std::vector<uint8_t> idat(compressBound(uLong(filtered.size())));
    uLongf idatSize = uLongf(idat.size());
    if (compress2(idat.data(), &idatSize, filtered.data(), uLong(filtered.size()), 9) != Z_OK)
        return {};
    idat.resize(idatSize);

    const uint8_t colourType[5] = {0, 0, 4, 2, 6};
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    AppendChunk(file, "IHDR",
                {uint8_t(width >> 24), uint8_t(width >> 16), uint8_t(width >> 8), uint8_t(width),
                 uint8_t(height >> 24), uint8_t(height >> 16), uint8_t(height >> 8),
                 uint8_t(height), 8, colourType[bpp], 0, 0, 0});
    AppendChunk(file, "IDAT", idat);
    AppendChunk(file, "IEND", {});
    return file;
}

// Smooth bands with a noisy patch: long matches, literals and everything
// between, so the deflate stream has blocks of every kind.
std::vector<uint8_t> BandsAndNoise(size_t count, unsigned seed)
{
    std::vector<uint8_t> bytes = RandomBytes(count, seed);
    for (size_t i = 0; i < count; ++i)
        if ((i / 9000) % 3 != 1)
            bytes[i] = uint8_t(i / 7 + (i % 3) * 40);
    return bytes;
}

} // namespace

TEST_F(PngEncoderTest, WritesTheBytesOfAOneShotEncoder)
{
    struct Case
    {
        int bits;
        uint32_t width;
        uint32_t height;
        bool noise;
    };
    // Past zlib's 32 KiB window and its output buffers, in every colour type.
    const Case cases[] = {{24, 1, 1, false},      {8, 1, 300, true},     {16, 33, 17, true},
                          {32, 300, 200, true},   {24, 701, 403, false}, {8, 4099, 61, false},
                          {24, 1024, 768, false}, {32, 517, 301, false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.width << "x" << c.height);
        const size_t size = size_t(c.width) * c.height * size_t(c.bits / 8);
        const std::vector<uint8_t> pixels =
            c.noise ? RandomBytes(size, c.width) : BandsAndNoise(size, c.height);
        const std::string path = PathOf("stream.png");
        WritePng(path.c_str(), c.width, c.height, c.bits, pixels.data());
        const std::vector<uint8_t> expected = OneShotPng(c.width, c.height, c.bits, pixels);
        ASSERT_FALSE(expected.empty());
        EXPECT_TRUE(ReadWholeFile(path) == expected);
    }
}

TEST_F(PngEncoderTest, OnePixelRgbHasTheDocumentedLayout)
{
    const uint8_t pixel[3] = {10, 20, 30};
    const std::string path = PathOf("one.png");
    WritePng(path.c_str(), 1, 1, 24, pixel);

    const std::vector<uint8_t> file = ReadWholeFile(path);
    const PngTestImage png = ReadPngForTest(file);
    ASSERT_EQ(png.error, "");
    ASSERT_EQ(png.chunks.size(), 3u);
    EXPECT_EQ(png.chunks[0].type, "IHDR");
    EXPECT_EQ(png.chunks[1].type, "IDAT");
    EXPECT_EQ(png.chunks[2].type, "IEND");
    EXPECT_EQ(png.chunks[2].length, 0u);
    for (const PngTestChunk& chunk : png.chunks)
        EXPECT_TRUE(chunk.crcOk) << chunk.type;
    EXPECT_EQ(file.size(), 57u + png.chunks[1].length);

    // IHDR data: width 1, height 1, depth 8, colour type 2, methods 0.
    const std::vector<uint8_t> header(file.begin() + 16, file.begin() + 29);
    EXPECT_EQ(header, (std::vector<uint8_t>{0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0}));
    EXPECT_EQ(png.filtered, (std::vector<uint8_t>{0x01, 0x0A, 0x14, 0x1E}));
    EXPECT_EQ(png.pixels, (std::vector<uint8_t>{10, 20, 30}));
}

TEST_F(PngEncoderTest, GreyIsWrittenTopRowFirstWithSubThenPaeth)
{
    const uint8_t pixels[4] = {1, 2, 3, 4}; // bottom row (1, 2), top row (3, 4)
    const std::string path = PathOf("grey.png");
    WritePng(path.c_str(), 2, 2, 8, pixels);

    const PngTestImage png = ReadPngFileForTest(path);
    ASSERT_EQ(png.error, "");
    EXPECT_EQ(png.colourType, 0);
    EXPECT_EQ(png.filtered, (std::vector<uint8_t>{0x01, 0x03, 0x01, 0x04, 0xFE, 0x01}));
    EXPECT_EQ(png.pixels, (std::vector<uint8_t>{3, 4, 1, 2}));
}

TEST_F(PngEncoderTest, EveryBitCountRoundTripsWithItsColourType)
{
    struct Case
    {
        int bits;
        int colourType;
        uint32_t width;
        uint32_t height;
    };
    // Odd sizes and a single column or row reach every edge of the filters.
    const Case cases[] = {{8, 0, 13, 9}, {16, 4, 7, 11}, {24, 2, 17, 5},
                          {32, 6, 9, 8}, {24, 2, 1, 6},  {32, 6, 6, 1}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.width << "x" << c.height);
        const size_t stride = size_t(c.width) * size_t(c.bits / 8);
        const std::vector<uint8_t> pixels = RandomBytes(stride * c.height, unsigned(c.bits));
        const std::string path = PathOf("round.png");
        WritePng(path.c_str(), c.width, c.height, c.bits, pixels.data());

        const PngTestImage png = ReadPngFileForTest(path);
        ASSERT_EQ(png.error, "");
        EXPECT_EQ(png.chunks.size(), 3u);
        EXPECT_EQ(png.width, c.width);
        EXPECT_EQ(png.height, c.height);
        EXPECT_EQ(png.bitDepth, 8);
        EXPECT_EQ(png.colourType, c.colourType);
        for (uint32_t row = 0; row < c.height; ++row)
            EXPECT_EQ(png.filtered[row * (stride + 1)], row == 0 ? 1 : 4) << "row " << row;
        EXPECT_EQ(png.pixels, FlipRows(pixels, stride));
    }
}

TEST_F(PngEncoderTest, LeavesTheBufferAloneAndWritesTheSameFileTwice)
{
    const std::vector<uint8_t> original = RandomBytes(20 * 10 * 3, 7);
    std::vector<uint8_t> pixels = original;
    const std::string first = PathOf("first.png");
    const std::string second = PathOf("second.png");
    WritePng(first.c_str(), 20, 10, 24, pixels.data());
    WritePng(second.c_str(), 20, 10, 24, pixels.data());

    EXPECT_EQ(pixels, original);
    const std::vector<uint8_t> bytes = ReadWholeFile(first);
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes, ReadWholeFile(second));
}

TEST_F(PngEncoderTest, NoiseThatDeflateCannotShrinkStillDecodesExactly)
{
    // Random samples make the stream longer than the filtered data itself,
    // which the output buffer has to make room for.
    const uint32_t width = 64;
    const uint32_t height = 48;
    const std::vector<uint8_t> pixels = RandomBytes(size_t(width) * height * 4, 42);
    const std::string path = PathOf("noise.png");
    WritePng(path.c_str(), width, height, 32, pixels.data());

    const PngTestImage png = ReadPngFileForTest(path);
    ASSERT_EQ(png.error, "");
    ASSERT_EQ(png.chunks.size(), 3u);
    EXPECT_GT(png.chunks[1].length, png.filtered.size());
    EXPECT_EQ(png.pixels, FlipRows(pixels, width * 4));
}

TEST_F(PngEncoderTest, UnsupportedBitCountsTouchNoFile)
{
    const uint8_t pixels[8] = {};
    for (int bits : {0, 12, -8, 4, 48, 64})
    {
        const std::string path = PathOf("never.png");
        WritePng(path.c_str(), 2, 1, bits, pixels);
        EXPECT_FALSE(fs::exists(path)) << bits << " bits";
    }

    const std::string existing = PathOf("existing.png");
    std::ofstream(existing) << "keep";
    WritePng(existing.c_str(), 2, 1, 12, pixels);
    EXPECT_EQ(ReadWholeFile(existing), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
}

TEST_F(PngEncoderTest, UnopenablePathsReturnQuietly)
{
    const uint8_t pixels[3] = {1, 2, 3};
    const std::string missingDir = PathOf("no/such/dir/out.png");
    WritePng(missingDir.c_str(), 1, 1, 24, pixels);
    EXPECT_FALSE(fs::exists(missingDir));
    WritePng(m_dir.string().c_str(), 1, 1, 24, pixels);
    EXPECT_TRUE(fs::is_directory(m_dir));
}

TEST_F(PngEncoderTest, DimensionsNoBufferCouldHoldWriteNothing)
{
    const uint8_t pixels[4] = {};
    const std::string path = PathOf("huge.png");
    WritePng(path.c_str(), 0xFFFFFFFFu, 0xFFFFFFFFu, 32, pixels);
    EXPECT_FALSE(fs::exists(path));
}

// The reader is only worth trusting if it undoes filters the encoder never
// writes too, with sums past 255 in Average, and notices a broken CRC.
TEST(PngTestReader, UnfiltersEveryFilterTypeAndChecksCrcs)
{
    // Top-first picture: (10 20) (30 50) (40 45) (100 7) (200 201) (250 255).
    const std::vector<uint8_t> filtered = {
        0, 10,  20,  // None
        2, 20,  30,  // Up
        3, 25,  0,   // Average
        1, 100, 163, // Sub
        4, 100, 101, // Paeth, picks up then upper-left
        3, 150, 30,  // Average, (250 + 201) / 2
    };
    std::vector<uint8_t> idat(compressBound(uLong(filtered.size())));
    uLongf idatSize = uLongf(idat.size());
    ASSERT_EQ(compress(idat.data(), &idatSize, filtered.data(), uLong(filtered.size())), Z_OK);
    idat.resize(idatSize);

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    AppendChunk(file, "IHDR", {0, 0, 0, 2, 0, 0, 0, 6, 8, 0, 0, 0, 0});
    AppendChunk(file, "IDAT", idat);
    AppendChunk(file, "IEND", {});

    const PngTestImage png = ReadPngForTest(file);
    ASSERT_EQ(png.error, "");
    EXPECT_EQ(png.pixels,
              (std::vector<uint8_t>{10, 20, 30, 50, 40, 45, 100, 7, 200, 201, 250, 255}));

    file[32] ^= 1; // last CRC byte of IHDR
    EXPECT_EQ(ReadPngForTest(file).error, "bad CRC in IHDR");
}
