// PNG decoding: walks the chunks of the whole file in memory, inflates the
// IDAT pieces in file order as one zlib stream into a buffer of exactly the
// filtered size, then undoes the five row filters, top row last.
#include "resources/PngDecoder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include <zlib.h>

#include "resources/detail/DecodedPicture.h"
#include "resources/detail/DecoderInput.h"
#include "resources/detail/PngFormat.h"

namespace
{

using resources_detail::kPngSignature;
constexpr size_t kIhdrSize = 13;
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;
// Deflate cannot expand its input by more than 1032 to 1; a header that
// asks for more than the IDAT data could give is refused before allocating.
constexpr uint64_t kMaxInflateRatio = 1032;

struct PngHeader
{
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t bitDepth = 0;
    uint8_t colourType = 0;
    uint8_t compression = 0;
    uint8_t filter = 0;
    uint8_t interlace = 0;
};

PngHeader ParseHeader(const uint8_t* p)
{
    PngHeader header;
    header.width = resources_detail::ReadBe32(p);
    header.height = resources_detail::ReadBe32(p + 4);
    header.bitDepth = p[8];
    header.colourType = p[9];
    header.compression = p[10];
    header.filter = p[11];
    header.interlace = p[12];
    return header;
}

// IHDR and IDAT match in any letter case, IEND only exactly.
bool IsType(const uint8_t* type, const char* name)
{
    for (int i = 0; i < 4; ++i)
    {
        if ((type[i] | 0x20) != (uint8_t(name[i]) | 0x20))
            return false;
    }
    return true;
}

bool IsEnd(const uint8_t* type)
{
    return std::memcmp(type, "IEND", 4) == 0;
}

// 1 to 4 for the colour types at bit depth 8, else 0.
unsigned ChannelsOf(const PngHeader& header)
{
    if (header.bitDepth != 8)
        return 0;
    switch (header.colourType)
    {
    case 0:
        return 1;
    case 4:
        return 2;
    case 2:
        return 3;
    case 6:
        return 4;
    default:
        return 0;
    }
}

// The probes stream the file up to IHDR rather than reading all of it.
bool ProbeHeader(const char* fileName, PngHeader& header)
{
    resources_detail::UniqueFile file = resources_detail::OpenForReading(fileName);
    uint8_t signature[sizeof kPngSignature];
    if (!file || std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
        std::memcmp(signature, kPngSignature, sizeof kPngSignature) != 0)
        return false;
    for (;;)
    {
        uint8_t chunk[8];
        if (std::fread(chunk, 1, sizeof chunk, file.get()) != sizeof chunk)
            return false;
        const uint32_t length = resources_detail::ReadBe32(chunk);
        if (length > kMaxChunkLength || IsEnd(chunk + 4))
            return false;
        if (IsType(chunk + 4, "IHDR"))
        {
            uint8_t data[kIhdrSize];
            if (length != kIhdrSize || std::fread(data, 1, sizeof data, file.get()) != sizeof data)
                return false;
            header = ParseHeader(data);
            return true;
        }
        // Seeking past the end succeeds; the next read then fails.
        if (std::fseek(file.get(), long(length) + 4, SEEK_CUR) != 0)
            return false;
    }
}

struct InflateEnder
{
    void operator()(z_stream* stream) const { inflateEnd(stream); }
};

// Inflates the pieces in order as one stream; true only when the stream
// ends having filled `out` exactly.
bool Inflate(const std::vector<std::pair<const uint8_t*, uint32_t>>& pieces, uint8_t* out,
             uint64_t size)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    std::unique_ptr<z_stream, InflateEnder> guard(&stream);
    // avail_out is 32 bits wide; bigger pictures get the buffer in slices.
    uint64_t outLeft = size;
    stream.next_out = out;
    for (const auto& [data, length] : pieces)
    {
        stream.next_in = const_cast<Bytef*>(data);
        stream.avail_in = length;
        for (;;)
        {
            if (stream.avail_out == 0 && outLeft > 0)
            {
                stream.avail_out = uInt(std::min<uint64_t>(outLeft, 1u << 30));
                outLeft -= stream.avail_out;
            }
            const int status = inflate(&stream, Z_NO_FLUSH);
            if (status == Z_STREAM_END)
                return stream.avail_out == 0 && outLeft == 0;
            if (status == Z_BUF_ERROR && stream.avail_in == 0)
                break; // wants the next piece
            // Corrupt data, or more of it than the picture holds.
            if (status != Z_OK)
                return false;
            if (stream.avail_in == 0 && stream.avail_out > 0)
                break;
        }
    }
    return false; // the stream never ended
}

// Undoes one row's filter: `in` is the filtered row, `up` the row above
// already unfiltered (zeros for the top row), `b` bytes per pixel.
void Unfilter(uint8_t type, const uint8_t* in, const uint8_t* up, uint8_t* out, size_t length,
              size_t b)
{
    switch (type)
    {
    case 0:
        std::memcpy(out, in, length);
        break;
    case 1:
        std::memcpy(out, in, std::min(b, length));
        for (size_t i = b; i < length; ++i)
            out[i] = uint8_t(in[i] + out[i - b]);
        break;
    case 2:
        for (size_t i = 0; i < length; ++i)
            out[i] = uint8_t(in[i] + up[i]);
        break;
    case 3:
        for (size_t i = 0; i < length && i < b; ++i)
            out[i] = uint8_t(in[i] + up[i] / 2);
        for (size_t i = b; i < length; ++i)
            out[i] = uint8_t(in[i] + (out[i - b] + up[i]) / 2);
        break;
    case 4:
        // With left and upper-left both 0 the predictor is always `up`.
        for (size_t i = 0; i < length && i < b; ++i)
            out[i] = uint8_t(in[i] + up[i]);
        for (size_t i = b; i < length; ++i)
            out[i] = uint8_t(in[i] + resources_detail::Paeth(out[i - b], up[i], up[i - b]));
        break;
    default:
        // No such filter: the row is unknown, so it decodes as zeros.
        std::memset(out, 0, length);
        break;
    }
}

struct Chunks
{
    PngHeader header;
    bool haveHeader = false;
    // The IDAT data in file order, pointing into the file's bytes.
    std::vector<std::pair<const uint8_t*, uint32_t>> pieces;
    uint64_t idatTotal = 0;
};

// Chunks end at IEND or when the file does; one cut short is a lie, and so
// is a second IHDR.
bool ReadChunks(const std::vector<uint8_t>& file, Chunks& chunks)
{
    size_t at = sizeof kPngSignature;
    while (at < file.size())
    {
        if (file.size() - at < 12)
            return false;
        const uint32_t length = resources_detail::ReadBe32(&file[at]);
        const uint8_t* type = &file[at + 4];
        if (length > kMaxChunkLength || length > file.size() - at - 12)
            return false;
        const uint8_t* data = &file[at + 8];
        at += 12 + size_t(length);
        if (IsType(type, "IHDR"))
        {
            if (chunks.haveHeader || length != kIhdrSize)
                return false;
            chunks.header = ParseHeader(data);
            chunks.haveHeader = true;
        }
        else if (IsType(type, "IDAT"))
        {
            if (length > 0)
                chunks.pieces.emplace_back(data, length);
            chunks.idatTotal += length;
        }
        else if (IsEnd(type))
        {
            break;
        }
    }
    return true;
}

} // namespace

int GetPngBits(const char* fileName)
{
    PngHeader header;
    if (!ProbeHeader(fileName, header))
        return -1;
    const unsigned channels = ChannelsOf(header);
    return channels == 0 ? -1 : int(channels * 8);
}

int GetPngWidth(const char* fileName)
{
    PngHeader header;
    if (!ProbeHeader(fileName, header) || header.width > kMaxChunkLength)
        return -1;
    return int(header.width);
}

int GetPngHeight(const char* fileName)
{
    PngHeader header;
    if (!ProbeHeader(fileName, header) || header.height > kMaxChunkLength)
        return -1;
    return int(header.height);
}

resources_detail::DecodedPicture resources_detail::DecodePng(const char* fileName) noexcept
try
{
    std::vector<uint8_t> file;
    if (!ReadWholeFile(fileName, file) || file.size() < sizeof kPngSignature ||
        std::memcmp(file.data(), kPngSignature, sizeof kPngSignature) != 0)
        return {};
    Chunks chunks;
    if (!ReadChunks(file, chunks))
        return {};
    const PngHeader& header = chunks.header;

    const unsigned channels = ChannelsOf(header);
    if (!chunks.haveHeader || channels == 0 || header.compression != 0 || header.filter != 0 ||
        header.interlace != 0 || chunks.pieces.empty())
        return {};
    const uint64_t width = header.width;
    const uint64_t height = header.height;
    if (!WithinPixelCeiling(width, height))
        return {};
    const uint64_t limit = (chunks.idatTotal + 1) * kMaxInflateRatio;
    // The filtered data is the pixels plus one filter byte a row.
    if (PictureBytes(width, height, channels, limit) == 0 ||
        PictureBytes(width * channels + 1, height, 1, limit) == 0)
        return {};
    const size_t rowBytes = size_t(width) * channels;
    const size_t filteredSize = (rowBytes + 1) * size_t(height);

    std::unique_ptr<uint8_t[]> filtered(new uint8_t[filteredSize]);
    if (!Inflate(chunks.pieces, filtered.get(), filteredSize))
        return {};
    chunks.pieces.clear();
    file = std::vector<uint8_t>();

    // PNG rows come top first; row j of the file is row height-1-j here.
    DecodedPicture picture;
    picture.pixels.reset(new uint8_t[rowBytes * height]);
    const std::vector<uint8_t> zeros(rowBytes, 0);
    const uint8_t* up = zeros.data();
    for (size_t j = 0; j < height; ++j)
    {
        const uint8_t* in = filtered.get() + j * (rowBytes + 1);
        uint8_t* out = picture.pixels.get() + (height - 1 - j) * rowBytes;
        Unfilter(in[0], in + 1, up, out, rowBytes, channels);
        up = out;
    }
    picture.width = header.width;
    picture.height = header.height;
    picture.channels = channels;
    picture.bits = int(channels * 8);
    return picture;
}
catch (const std::bad_alloc&)
{
    return {};
}

uint8_t* LoadPng(const char* fileName)
{
    return resources_detail::DecodePng(fileName).pixels.release();
}
