// WritePng: filters the picture top row first (Sub for the first row, Paeth
// for the rest), deflates it at level 9 into one zlib stream and writes the
// signature, IHDR, a single IDAT and IEND. The caller's buffer is only read;
// nothing is reported, so an unwritable file simply ends up short or absent.
#include "resources/PngEncoder.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <zlib.h>

#include "core/RegularFile.h"
#include "resources/detail/PngFormat.h"

namespace
{

using resources_detail::kPngSignature;
constexpr uint8_t kFilterSub = 1;
constexpr uint8_t kFilterPaeth = 4;
// PNG colour type by bytes per pixel: grey, grey+alpha, RGB, RGBA.
constexpr uint8_t kColourType[5] = {0, 0, 4, 2, 6};
// A chunk length is a 31-bit number.
constexpr uint64_t kMaxChunkData = 0x7FFFFFFFu;

std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n)
    {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

uint32_t UpdateCrc(uint32_t crc, const uint8_t* data, size_t size)
{
    static const std::array<uint32_t, 256> table = MakeCrcTable();
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

void PutBigEndian(uint8_t* out, uint32_t value)
{
    out[0] = uint8_t(value >> 24);
    out[1] = uint8_t(value >> 16);
    out[2] = uint8_t(value >> 8);
    out[3] = uint8_t(value);
}


// Owns a deflate stream; End() reports deflateEnd's result, the destructor
// ends a stream that an early return left open.
class Deflater
{
public:
    Deflater() { m_open = deflateInit(&stream, 9) == Z_OK; }
    ~Deflater()
    {
        if (m_open)
            deflateEnd(&stream);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    bool IsOpen() const { return m_open; }
    bool End()
    {
        m_open = false;
        return deflateEnd(&stream) == Z_OK;
    }

    z_stream stream{};

private:
    bool m_open = false;
};

// PNG row j is buffer row height - 1 - j, so the row above it in the picture
// is the next row of the buffer.
void Filter(const uint8_t* pixels, uint32_t height, size_t stride, size_t bpp, uint8_t* out)
{
    for (uint32_t j = 0; j < height; ++j, out += stride + 1)
    {
        const uint8_t* raw = pixels + size_t(height - 1 - j) * stride;
        uint8_t* filtered = out + 1;
        if (j == 0)
        {
            out[0] = kFilterSub;
            for (size_t i = 0; i < stride; ++i)
                filtered[i] = uint8_t(raw[i] - (i >= bpp ? raw[i - bpp] : 0));
            continue;
        }
        const uint8_t* prev = raw + stride;
        out[0] = kFilterPaeth;
        // Left and upper-left are 0 in the first pixel, where Paeth picks up.
        for (size_t i = 0; i < std::min(bpp, stride); ++i)
            filtered[i] = uint8_t(raw[i] - prev[i]);
        for (size_t i = bpp; i < stride; ++i)
            filtered[i] =
                uint8_t(raw[i] - resources_detail::Paeth(raw[i - bpp], prev[i], prev[i - bpp]));
    }
}

// One zlib stream of `data`, or nothing when compression fails. The output
// starts at deflateBound, enough for one Z_FINISH call even on noise that
// deflate cannot shrink; the loop only matters past zlib's 32-bit counters.
std::vector<uint8_t> Compress(const std::vector<uint8_t>& data)
{
    Deflater deflater;
    if (!deflater.IsOpen())
        return {};
    z_stream& stream = deflater.stream;
    std::vector<uint8_t> out(deflateBound(&stream, uLong(data.size())));

    const uint8_t* in = data.data();
    size_t inLeft = data.size();
    size_t produced = 0;
    int result = Z_OK;
    while (result != Z_STREAM_END)
    {
        if (stream.avail_in == 0)
        {
            const uInt piece = uInt(std::min<size_t>(inLeft, UINT_MAX));
            stream.next_in = const_cast<Bytef*>(in);
            stream.avail_in = piece;
            in += piece;
            inLeft -= piece;
        }
        if (produced == out.size())
            out.resize(out.size() * 2);
        const uInt room = uInt(std::min<size_t>(out.size() - produced, UINT_MAX));
        stream.next_out = out.data() + produced;
        stream.avail_out = room;
        result = deflate(&stream, inLeft == 0 ? Z_FINISH : Z_NO_FLUSH);
        produced += room - stream.avail_out;
        // There is always room and input or Z_FINISH, so Z_BUF_ERROR (no
        // progress possible) is a failure too, not a reason to go round again.
        if (result != Z_OK && result != Z_STREAM_END)
            return {};
    }
    if (!deflater.End())
        return {};
    out.resize(produced);
    return out;
}

void WriteChunk(FILE* file, const char* type, const uint8_t* data, uint32_t size)
{
    uint8_t head[8];
    PutBigEndian(head, size);
    std::memcpy(head + 4, type, 4);
    uint32_t crc = UpdateCrc(0xFFFFFFFFu, head + 4, 4);
    crc = UpdateCrc(crc, data, size) ^ 0xFFFFFFFFu;
    uint8_t tail[4];
    PutBigEndian(tail, crc);

    std::fwrite(head, 1, sizeof(head), file);
    if (size != 0)
        std::fwrite(data, 1, size, file);
    std::fwrite(tail, 1, sizeof(tail), file);
}

} // namespace

void WritePng(const char* fileName, uint32_t width, uint32_t height, int bits,
              const uint8_t* pixels)
{
    assert(fileName && "WritePng(): null file name");
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return;
    const size_t bpp = size_t(bits / 8);

    // Dimensions whose filtered size does not even fit in memory's address
    // range describe no buffer the caller could hold: write nothing.
    const uint64_t stride = uint64_t(width) * bpp;
    if (height != 0 && stride + 1 > SIZE_MAX / height)
        return;
    assert((pixels || stride == 0 || height == 0) && "WritePng(): null pixels");

    std::vector<uint8_t> filtered(size_t(stride + 1) * height);
    Filter(pixels, height, size_t(stride), bpp, filtered.data());

    std::vector<uint8_t> compressed = Compress(filtered);
    // A stream longer than one chunk can carry counts as a failed compression.
    if (compressed.size() > kMaxChunkData)
        compressed.clear();

    UniqueFile file(std::fopen(fileName, "wb"));
    if (!file)
        return;

    uint8_t header[13];
    PutBigEndian(header, width);
    PutBigEndian(header + 4, height);
    header[8] = 8; // bit depth per sample
    header[9] = kColourType[bpp];
    header[10] = 0; // compression: deflate
    header[11] = 0; // filter method: adaptive
    header[12] = 0; // no interlace

    std::fwrite(kPngSignature, 1, sizeof(kPngSignature), file.get());
    WriteChunk(file.get(), "IHDR", header, sizeof(header));
    WriteChunk(file.get(), "IDAT", compressed.data(), uint32_t(compressed.size()));
    WriteChunk(file.get(), "IEND", nullptr, 0);
}
