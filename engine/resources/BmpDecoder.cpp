// BMP decoding from the 14-byte file header and an info header of 40 bytes
// or more. Rows are read from the pixel data offset and their padding to 4
// bytes skipped; a top-down file (negative height) is turned bottom up.
#include "resources/BmpDecoder.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "resources/detail/DecodedPicture.h"
#include "resources/detail/DecoderInput.h"

namespace
{

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kHeaderSize = 54; // file header plus the 40-byte info header
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;

struct BmpHeader
{
    uint32_t dataOffset;
    uint32_t infoSize;
    int32_t width;
    int32_t height;
    int16_t bits;
    uint32_t compression;
};

BmpHeader ParseHeader(const uint8_t* p)
{
    BmpHeader header;
    header.dataOffset = resources_detail::ReadLe32(p + 10);
    header.infoSize = resources_detail::ReadLe32(p + 14);
    header.width = int32_t(resources_detail::ReadLe32(p + 18));
    header.height = int32_t(resources_detail::ReadLe32(p + 22));
    header.bits = int16_t(resources_detail::ReadLe16(p + 28));
    header.compression = resources_detail::ReadLe32(p + 30);
    return header;
}

bool ReadHeader(const char* fileName, BmpHeader& header)
{
    uint8_t bytes[kHeaderSize];
    if (!resources_detail::ReadFileHead(fileName, bytes, sizeof bytes))
        return false;
    header = ParseHeader(bytes);
    return true;
}

// 32-bit files often say "bit fields" for what is plain blue, green, red,
// alpha in memory order (ImageMagick writes them so); only that layout is
// taken, and the masks follow the 40-byte info header in every version.
bool HasPlainMasks(const std::vector<uint8_t>& file, const BmpHeader& header)
{
    if (file.size() < kHeaderSize + 12)
        return false;
    const uint8_t* masks = file.data() + kHeaderSize;
    if (resources_detail::ReadLe32(masks) != 0x00FF0000u ||
        resources_detail::ReadLe32(masks + 4) != 0x0000FF00u ||
        resources_detail::ReadLe32(masks + 8) != 0x000000FFu)
        return false;
    if (header.infoSize < 56)
        return true; // no alpha mask: the fourth byte is passed on as it is
    if (file.size() < kHeaderSize + 16)
        return false;
    const uint32_t alpha = resources_detail::ReadLe32(masks + 12);
    return alpha == 0xFF000000u || alpha == 0;
}

} // namespace

int GetBmpBits(const char* fileName)
{
    BmpHeader header;
    return ReadHeader(fileName, header) ? header.bits : -1;
}

int GetBmpWidth(const char* fileName)
{
    BmpHeader header;
    if (!ReadHeader(fileName, header) || header.width < 0)
        return -1;
    return header.width;
}

int GetBmpHeight(const char* fileName)
{
    BmpHeader header;
    if (!ReadHeader(fileName, header) || header.height == std::numeric_limits<int32_t>::min())
        return -1;
    return header.height < 0 ? -header.height : header.height;
}

resources_detail::DecodedPicture resources_detail::DecodeBmp(const char* fileName) noexcept
try
{
    std::vector<uint8_t> file;
    if (!ReadWholeFile(fileName, file) || file.size() < kHeaderSize)
        return {};
    const BmpHeader header = ParseHeader(file.data());
    if (header.infoSize < 40 || header.infoSize > file.size() - kFileHeaderSize)
        return {};

    const size_t channels = ChannelsForBits(header.bits);
    if (channels == 0)
        return {};
    const bool plain =
        header.compression == kUncompressed ||
        (header.compression == kBitFields && header.bits == 32 && HasPlainMasks(file, header));
    if (!plain)
        return {};

    if (header.width <= 0 || header.height == 0 ||
        header.height == std::numeric_limits<int32_t>::min())
        return {};
    const bool topDown = header.height < 0;
    const uint64_t width = uint64_t(header.width);
    const uint64_t height = uint64_t(topDown ? -int64_t(header.height) : header.height);
    if (!WithinPixelCeiling(width, height))
        return {};

    // Every row but the last must be there with its padding; the last may
    // lack it. Checking the unpadded picture against the file first keeps
    // the products below small.
    const uint64_t offset = header.dataOffset;
    if (offset < kFileHeaderSize + header.infoSize || offset > file.size())
        return {};
    const uint64_t available = file.size() - offset;
    const uint64_t bytes = PictureBytes(width, height, channels, available);
    if (bytes == 0)
        return {};
    const uint64_t rowBytes = width * channels;
    const uint64_t stride = (rowBytes + 3) / 4 * 4;
    if ((height - 1) * stride > available - rowBytes)
        return {};

    DecodedPicture picture;
    picture.pixels.reset(new uint8_t[bytes]);
    const uint8_t* source = file.data() + offset;
    for (uint64_t row = 0; row < height; ++row, source += stride)
    {
        uint8_t* target = picture.pixels.get() + (topDown ? height - 1 - row : row) * rowBytes;
        std::memcpy(target, source, rowBytes);
        if (channels > 1)
            SwapRedBlue(target, width, channels);
    }
    picture.width = unsigned(width);
    picture.height = unsigned(height);
    picture.channels = unsigned(channels);
    picture.bits = header.bits;
    return picture;
}
catch (const std::bad_alloc&)
{
    return {};
}

uint8_t* LoadBmp(const char* fileName)
{
    return resources_detail::DecodeBmp(fileName).pixels.release();
}
