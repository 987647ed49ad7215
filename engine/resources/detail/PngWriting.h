// What the two PNG writers share: the row filter and the chunk layer. Both
// stream, so neither holds a filtered copy of the picture.
#pragma once

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <zlib.h>

namespace resources_detail
{

// PNG colour type by bytes per pixel: grey, grey+alpha, RGB, RGBA.
inline constexpr uint8_t kPngColourType[5] = {0, 0, 4, 2, 6};
// A chunk length is a 31-bit number.
inline constexpr uint64_t kMaxPngChunkData = 0x7FFFFFFFu;

// Owns a deflate stream (zlib's format, or raw deflate for negative window
// bits); End() reports deflateEnd's result, the destructor ends a stream
// that an early return left open.
class Deflater
{
public:
    Deflater(int level, int windowBits, int strategy);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    bool IsOpen() const { return m_open; }
    bool End();

    z_stream stream{};

private:
    bool m_open = false;
};

// Runs deflate over `size` bytes, `flush` given with the last of them, and
// hands each piece of output to sink(bytes, count), which returns false to
// stop. Returns once deflate has taken every byte and given out everything
// the flush asks for (the stream's end, for Z_FINISH); false when deflate or
// the sink fails.
template <class Sink>
bool DeflateBytes(z_stream& stream, const uint8_t* in, size_t size, int flush, uint8_t* scratch,
                  size_t scratchSize, Sink&& sink)
{
    size_t left = size;
    for (;;)
    {
        if (stream.avail_in == 0 && left != 0)
        {
            const uInt piece = uInt(std::min<size_t>(left, UINT_MAX));
            stream.next_in = const_cast<Bytef*>(in);
            stream.avail_in = piece;
            in += piece;
            left -= piece;
        }
        const bool last = left == 0;
        stream.next_out = scratch;
        stream.avail_out = uInt(std::min<size_t>(scratchSize, UINT_MAX));
        // There is always room and input or a flush, so Z_BUF_ERROR (no
        // progress possible) is a failure too.
        const int result = deflate(&stream, last ? flush : Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END)
            return false;
        const size_t produced = size_t(stream.next_out - scratch);
        if (produced != 0 && !sink(scratch, produced))
            return false;
        if (result == Z_STREAM_END)
            return true;
        // Room left over means deflate took all it was given and flushed
        // all it was asked to.
        if (last && flush != Z_FINISH && stream.avail_in == 0 && stream.avail_out != 0)
            return true;
    }
}

// Adler-32 of any number of bytes (zlib's takes 32-bit lengths).
uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size);

// Filters one row of `stride` bytes into out[0 … stride]: Sub when `up` is
// null (the picture's top row), Paeth against `up` otherwise; out[0] gets
// the filter type.
void FilterPngRow(const uint8_t* raw, const uint8_t* up, size_t stride, size_t bpp, uint8_t* out);

// Writes the chunks of one PNG file. Writes after a failed one are skipped,
// and Good() says whether every write so far succeeded.
class PngChunkWriter
{
public:
    // The file stays the caller's.
    explicit PngChunkWriter(std::FILE* file) : m_file(file) {}

    // The signature and IHDR: 8-bit samples, no interlace.
    void WriteHeader(uint32_t width, uint32_t height, size_t bytesPerPixel);
    void WriteChunk(const char* type, const uint8_t* data, uint32_t size);

    // A chunk written piece by piece; CloseChunk goes back to fill in its
    // length, so the file must be seekable. Only one chunk is open at once.
    void OpenChunk(const char* type);
    void Append(const uint8_t* data, size_t size);
    uint64_t OpenSize() const { return m_openSize; }
    void CloseChunk();
    // Ends the open chunk as an empty one and drops whatever followed it.
    void EmptyOpenChunk();

    bool Good() const { return m_good; }

private:
    void Put(const void* data, size_t size);

    std::FILE* m_file;
    bool m_good = true;
    long m_openAt = -1; // file offset of the open chunk's length field
    char m_openType[4] = {};
    uint64_t m_openSize = 0;
    uint32_t m_openCrc = 0;
};

} // namespace resources_detail
