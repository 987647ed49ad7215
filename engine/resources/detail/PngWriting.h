// What the two PNG writers share: the row filter and the chunk layer. Both
// stream, so neither holds a filtered copy of the picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace resources_detail
{

// PNG colour type by bytes per pixel: grey, grey+alpha, RGB, RGBA.
inline constexpr uint8_t kPngColourType[5] = {0, 0, 4, 2, 6};
// A chunk length is a 31-bit number.
inline constexpr uint64_t kMaxPngChunkData = 0x7FFFFFFFu;

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
