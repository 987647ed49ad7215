// Targa decoding: an 18-byte header, an identification field and an optional
// colour map to skip, then raw pixels in blue-green-red(-alpha) order. The
// descriptor's origin bit decides whether the rows need turning bottom up.
#include "resources/TgaDecoder.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "resources/detail/DecodedPicture.h"
#include "resources/detail/DecoderInput.h"

namespace
{

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kTopOrigin = 0x20;

struct TgaHeader
{
    uint8_t idLength;
    uint8_t colourMapType;
    uint8_t imageType;
    uint16_t colourMapLength;
    uint8_t colourMapBits;
    uint16_t width;
    uint16_t height;
    uint8_t bits;
    uint8_t descriptor;
};

TgaHeader ParseHeader(const uint8_t* p)
{
    TgaHeader header;
    header.idLength = p[0];
    header.colourMapType = p[1];
    header.imageType = p[2];
    header.colourMapLength = resources_detail::ReadLe16(p + 5);
    header.colourMapBits = p[7];
    header.width = resources_detail::ReadLe16(p + 12);
    header.height = resources_detail::ReadLe16(p + 14);
    header.bits = p[16];
    header.descriptor = p[17];
    return header;
}

bool ReadHeader(const char* fileName, TgaHeader& header)
{
    uint8_t bytes[kHeaderSize];
    if (!resources_detail::ReadFileHead(fileName, bytes, sizeof bytes))
        return false;
    header = ParseHeader(bytes);
    return true;
}

} // namespace

int GetTgaBits(const char* fileName)
{
    TgaHeader header;
    return ReadHeader(fileName, header) ? header.bits : -1;
}

int GetTgaWidth(const char* fileName)
{
    TgaHeader header;
    return ReadHeader(fileName, header) ? header.width : -1;
}

int GetTgaHeight(const char* fileName)
{
    TgaHeader header;
    return ReadHeader(fileName, header) ? header.height : -1;
}

resources_detail::DecodedPicture resources_detail::DecodeTga(const char* fileName) noexcept
try
{
    std::vector<uint8_t> file;
    if (!ReadWholeFile(fileName, file) || file.size() < kHeaderSize)
        return {};
    const TgaHeader header = ParseHeader(file.data());

    // 1 colour-mapped, 2 truecolour, 3 grey; the run-length types (9 to 11)
    // would come out as noise, and 0 holds no picture.
    if (header.imageType < 1 || header.imageType > 3)
        return {};
    const size_t channels = ChannelsForBits(header.bits);
    if (channels == 0)
        return {};

    uint64_t offset = kHeaderSize + header.idLength;
    if (header.colourMapType != 0)
    {
        // 15-bit entries take two bytes, so round up.
        offset += uint64_t(header.colourMapLength) * ((header.colourMapBits + 7u) / 8u);
    }
    if (offset > file.size() || !WithinPixelCeiling(header.width, header.height))
        return {};
    const uint64_t bytes =
        PictureBytes(header.width, header.height, channels, file.size() - offset);
    if (bytes == 0)
        return {};

    DecodedPicture picture;
    picture.pixels.reset(new uint8_t[bytes]);
    const size_t rowBytes = size_t(header.width) * channels;
    const uint8_t* source = file.data() + offset;
    const bool topDown = (header.descriptor & kTopOrigin) != 0;
    for (size_t row = 0; row < header.height; ++row, source += rowBytes)
    {
        const size_t target = topDown ? header.height - 1 - row : row;
        std::memcpy(picture.pixels.get() + target * rowBytes, source, rowBytes);
    }
    if (channels > 1)
        SwapRedBlue(picture.pixels.get(), size_t(header.width) * header.height, channels);
    picture.width = header.width;
    picture.height = header.height;
    picture.channels = unsigned(channels);
    picture.bits = header.bits;
    return picture;
}
catch (const std::bad_alloc&)
{
    return {};
}

uint8_t* LoadTga(const char* fileName)
{
    return resources_detail::DecodeTga(fileName).pixels.release();
}
