// Screenshots on the writer thread: names taken in order and never over an
// existing file, nothing for a missing or empty picture, the frame thread
// never waiting for the encoder, and every queued picture reaching disk.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "ScreenshotWriter.h"
#include "resources/Image.h"
#include "resources/PictureFile.h"
#include "support/ScratchDir.h"

namespace
{

std::shared_ptr<const CImage> Noise(unsigned width, unsigned height, uint32_t seed)
{
    auto image = std::make_shared<CImage>();
    image->Create(width, height, 3, 24);
    std::mt19937 random(seed);
    uint8_t* p = image->GetPixels();
    for (size_t i = 0; i < size_t(width) * height * 3; ++i)
        p[i] = static_cast<uint8_t>(random());
    return image;
}

std::string Contents(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SamePixels(const std::filesystem::path& file, const CImage& expected)
{
    CImage decoded;
    if (!LoadPicture(file.string().c_str(), decoded) ||
        decoded.GetWidth() != expected.GetWidth() || decoded.GetHeight() != expected.GetHeight() ||
        decoded.GetChannels() != expected.GetChannels())
        return false;
    const size_t bytes = size_t(expected.GetWidth()) * expected.GetHeight() * 3;
    return std::equal(decoded.GetPixels(), decoded.GetPixels() + bytes, expected.GetPixels());
}

} // namespace

TEST(ScreenshotWriter, NamesRunInOrderAroundFilesThatExist)
{
    EXPECT_EQ(CScreenshotWriter::FileName(1), "Screenshot001.png");
    EXPECT_EQ(CScreenshotWriter::FileName(9), "Screenshot009.png");
    EXPECT_EQ(CScreenshotWriter::FileName(10), "Screenshot010.png");
    EXPECT_EQ(CScreenshotWriter::FileName(1000), "Screenshot1000.png");

    ScratchDir clean("screenshots");
    const std::string folder = clean.Path().string();
    CScreenshotWriter writer;
    uint32_t counter = 0;
    const auto picture = Noise(7, 5, 1);
    EXPECT_EQ(writer.Write(picture, counter, folder), folder + "/Screenshot001.png");
    EXPECT_EQ(writer.Write(picture, counter, folder), folder + "/Screenshot002.png");
    EXPECT_EQ(counter, 2u);

    // Someone else's 003 and 004 stay as they are; the next free is 005.
    std::ofstream(clean.Path() / "Screenshot003.png") << "mine";
    std::filesystem::create_directory(clean.Path() / "Screenshot004.png");
    EXPECT_EQ(writer.Write(picture, counter, folder), folder + "/Screenshot005.png");
    EXPECT_EQ(counter, 5u);
    writer.WaitIdle();
    EXPECT_EQ(Contents(clean.Path() / "Screenshot003.png"), "mine");
    for (const char* name : {"Screenshot001.png", "Screenshot002.png", "Screenshot005.png"})
        EXPECT_TRUE(SamePixels(clean.Path() / name, *picture)) << name;
}

TEST(ScreenshotWriter, NothingToWriteOrNowhereToWriteWritesNothing)
{
    ScratchDir scratch("screenshots");
    const std::string folder = scratch.Path().string();
    CScreenshotWriter writer;
    uint32_t counter = 0;
    const struct
    {
        const char* what;
        std::shared_ptr<const CImage> picture;
        std::string folder;
    } cases[] = {
        {"no picture", nullptr, folder},
        {"a picture never created", std::make_shared<CImage>(), folder},
        {"0 x 0", Noise(0, 0, 0), folder},
        {"16 x 0", Noise(16, 0, 0), folder},
        {"a missing folder", Noise(4, 4, 2), folder + "/missing"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(writer.Write(c.picture, counter, c.folder), "") << c.what;
    EXPECT_EQ(counter, 0u);
    writer.WaitIdle();
    EXPECT_TRUE(std::filesystem::is_empty(scratch.Path()));
}

TEST(ScreenshotWriter, TheCallerNeverWaitsForTheEncoder)
{
    ScratchDir scratch("screenshots");
    const std::string folder = scratch.Path().string();
    // Noise does not compress: zlib at level 9 takes its time over it.
    const auto first = Noise(1024, 768, 3);
    const auto second = Noise(1024, 768, 4);
    CScreenshotWriter writer;
    uint32_t counter = 0;
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    ASSERT_NE(writer.Write(first, counter, folder), "");
    ASSERT_NE(writer.Write(second, counter, folder), "");
    const auto queued = Clock::now() - t0;
    writer.WaitIdle();
    const auto written = Clock::now() - t0;
    EXPECT_LT(queued * 4, written) << "both presses returned before the files were written";
    EXPECT_TRUE(SamePixels(scratch.Path() / "Screenshot001.png", *first));
    EXPECT_TRUE(SamePixels(scratch.Path() / "Screenshot002.png", *second));

    // Destruction writes what is still queued.
    {
        CScreenshotWriter closing;
        closing.Write(first, counter, folder);
    }
    EXPECT_TRUE(SamePixels(scratch.Path() / "Screenshot003.png", *first));
}
