// Test support for the image decoders: file helpers, the comparison with
// ImageMagick's pixels and the truncation sweep.
#include "DecoderTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace decodertest
{

std::string DataPath(const std::string& name)
{
    return "tests/data/images/" + name;
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> FlipRows(const std::vector<uint8_t>& pixels, size_t rowBytes)
{
    std::vector<uint8_t> flipped;
    for (size_t row = pixels.size() / rowBytes; row-- > 0;)
        flipped.insert(flipped.end(), pixels.begin() + long(row * rowBytes),
                       pixels.begin() + long((row + 1) * rowBytes));
    return flipped;
}

std::vector<uint8_t> ReferencePixels(const std::string& rawName, size_t rowBytes)
{
    return FlipRows(ReadBytes(DataPath(rawName)), rowBytes);
}

std::vector<uint8_t> Load(const Decoder& decoder, const std::string& path, size_t size)
{
    const Pixels pixels(decoder.load(path.c_str()));
    return pixels ? std::vector<uint8_t>(pixels.get(), pixels.get() + size)
                  : std::vector<uint8_t>();
}

void ExpectLikeImageMagick(const Decoder& decoder, const Reference& reference, int tolerance)
{
    SCOPED_TRACE(reference.file);
    const std::string path = DataPath(reference.file);
    EXPECT_EQ(decoder.width(path.c_str()), reference.width);
    EXPECT_EQ(decoder.height(path.c_str()), reference.height);
    EXPECT_EQ(decoder.bits(path.c_str()), reference.bits);
    const size_t rowBytes = size_t(reference.width) * size_t(reference.bits / 8);
    const std::vector<uint8_t> expected = ReferencePixels(reference.raw, rowBytes);
    ASSERT_EQ(expected.size(), rowBytes * size_t(reference.height));
    const std::vector<uint8_t> pixels = Load(decoder, path, expected.size());
    ASSERT_EQ(pixels.size(), expected.size());
    int worst = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        worst = std::max(worst, std::abs(int(pixels[i]) - int(expected[i])));
    EXPECT_LE(worst, tolerance);
}

std::vector<uint8_t> IndicesOf(const std::vector<uint8_t>& rgb, const uint8_t* table,
                               size_t entries, size_t entrySize)
{
    std::vector<uint8_t> indices;
    for (size_t p = 0; p + 3 <= rgb.size(); p += 3)
    {
        for (size_t index = 0; index < entries; ++index)
        {
            const uint8_t* entry = table + index * entrySize;
            if (entry[2] == rgb[p] && entry[1] == rgb[p + 1] && entry[0] == rgb[p + 2])
            {
                indices.push_back(uint8_t(index));
                break;
            }
        }
    }
    return indices;
}

void PutLe16(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    bytes.at(at) = uint8_t(value);
    bytes.at(at + 1) = uint8_t(value >> 8);
}

void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    PutLe16(bytes, at, value & 0xFFFF);
    PutLe16(bytes, at + 2, value >> 16);
}

void PutBe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        bytes.at(at + i) = uint8_t(value >> (24 - 8 * i));
}

std::string ScratchFiles::Write(const std::vector<uint8_t>& bytes, const std::string& name)
{
    const std::string path =
        (m_dir / (name.empty() ? "f" + std::to_string(m_count++) : name)).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

void ScratchFiles::SweepTruncations(const Decoder& decoder, const std::vector<uint8_t>& file,
                                    size_t mustFailBelow, size_t headerSize)
{
    for (size_t length = 0; length < file.size(); ++length)
    {
        SCOPED_TRACE("truncated to " + std::to_string(length) + " bytes");
        const std::string path = Write({file.begin(), file.begin() + long(length)});
        const Pixels pixels(decoder.load(path.c_str()));
        EXPECT_TRUE(length >= mustFailBelow || pixels == nullptr);
        for (Probe probe : {decoder.bits, decoder.width, decoder.height})
            EXPECT_TRUE(length >= headerSize || probe(path.c_str()) == -1);
    }
}

} // namespace decodertest
