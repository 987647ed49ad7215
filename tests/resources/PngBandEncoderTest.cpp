// WritePngBands against the independent reader: every compression gives the
// same pixels and the same filtered rows as WritePng, the stream joined
// across bands is one valid zlib stream (the reader inflates it whole and
// checks its Adler-32), and the bytes never depend on the thread count.
#include "resources/PngBandEncoder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PngTestReader.h"
#include "resources/PngEncoder.h"
#include "support/ScratchDir.h"

namespace fs = std::filesystem;

namespace
{

class PngBandEncoderTest : public ::testing::Test
{
protected:
    std::string PathOf(const char* name) const { return (m_dir / name).string(); }

    ScratchDir m_scratch{"vemmo-pngbands"};
    const fs::path& m_dir = m_scratch.Path();
};

struct Picture
{
    uint32_t width;
    uint32_t height;
    int bits;
    std::vector<uint8_t> pixels;
};

// Gradients with a noisy stripe: matches across the band cuts, and bytes
// deflate cannot shrink.
Picture MakePicture(uint32_t width, uint32_t height, int bits)
{
    Picture picture{width, height, bits, {}};
    const size_t size = size_t(width) * height * size_t(bits / 8);
    std::mt19937 random(width * 31 + height);
    picture.pixels.resize(size);
    for (size_t i = 0; i < size; ++i)
        picture.pixels[i] = (i / 5000) % 4 == 3 ? uint8_t(random()) : uint8_t(i / 11 + i % 3);
    return picture;
}

const PngCompression kCompressions[] = {PngCompression::Speed, PngCompression::Balanced,
                                        PngCompression::Size};

} // namespace

TEST_F(PngBandEncoderTest, EveryCompressionKeepsWritePngsRowsAndPixels)
{
    // One band, several bands with a short last one, rows narrower than the
    // dictionary, a single row, a single column, and an empty picture.
    const Picture pictures[] = {MakePicture(13, 9, 24),    MakePicture(701, 403, 24),
                                MakePicture(517, 301, 32), MakePicture(3, 40000, 8),
                                MakePicture(5000, 1, 16),  MakePicture(1, 9000, 24),
                                MakePicture(4, 0, 24)};
    const std::string reference = PathOf("reference.png");
    const std::string banded = PathOf("banded.png");
    for (const Picture& p : pictures)
    {
        WritePng(reference.c_str(), p.width, p.height, p.bits, p.pixels.data());
        const PngTestImage expected = ReadPngFileForTest(reference);
        ASSERT_EQ(expected.error, "");
        for (PngCompression compression : kCompressions)
        {
            SCOPED_TRACE(testing::Message() << p.width << "x" << p.height << ", " << p.bits
                                            << " bits, compression " << int(compression));
            ASSERT_TRUE(WritePngBands(banded.c_str(), p.width, p.height, p.bits, p.pixels.data(),
                                      {compression, 2}));
            const PngTestImage png = ReadPngFileForTest(banded);
            ASSERT_EQ(png.error, "");
            EXPECT_EQ(png.colourType, expected.colourType);
            EXPECT_EQ(png.chunks.front().type, "IHDR");
            EXPECT_EQ(png.chunks.back().type, "IEND");
            EXPECT_TRUE(png.filtered == expected.filtered);
            EXPECT_TRUE(png.pixels == expected.pixels);
        }
    }
}

TEST_F(PngBandEncoderTest, TheBytesDoNotDependOnTheThreadCount)
{
    const Picture p = MakePicture(1024, 768, 24);
    const std::string path = PathOf("threads.png");
    for (PngCompression compression : kCompressions)
    {
        ASSERT_TRUE(WritePngBands(path.c_str(), p.width, p.height, p.bits, p.pixels.data(),
                                  {compression, 1}));
        const std::vector<uint8_t> single = ReadWholeFile(path);
        EXPECT_GT(ReadPngForTest(single).chunks.size(), 4u) << "want several bands";
        for (unsigned threads : {0u, 2u, 3u, 8u})
        {
            ASSERT_TRUE(WritePngBands(path.c_str(), p.width, p.height, p.bits, p.pixels.data(),
                                      {compression, threads}));
            EXPECT_TRUE(ReadWholeFile(path) == single) << threads << " threads";
        }
    }
}

TEST_F(PngBandEncoderTest, ReportsWhatItCannotWrite)
{
    const uint8_t pixels[6] = {};
    const std::string path = PathOf("never.png");
    for (int bits : {0, 12, 48})
    {
        EXPECT_FALSE(WritePngBands(path.c_str(), 2, 1, bits, pixels, {}));
        EXPECT_FALSE(fs::exists(path)) << bits << " bits";
    }
    EXPECT_FALSE(WritePngBands(PathOf("no/such/dir.png").c_str(), 2, 1, 24, pixels, {}));
    EXPECT_FALSE(WritePngBands(m_dir.string().c_str(), 2, 1, 24, pixels, {}));
    EXPECT_FALSE(WritePngBands(path.c_str(), 0xFFFFFFFFu, 1, 32, pixels, {}));
    if (fs::exists("/dev/full"))
    {
        EXPECT_FALSE(WritePngBands("/dev/full", 2, 1, 24, pixels, {}));
    }
}
