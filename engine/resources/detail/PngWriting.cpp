// The PNG writers' row filter and chunk layer. Chunk CRCs come from zlib,
// whose table-driven crc32 is the checksum the format asks for.
#include "resources/detail/PngWriting.h"

#include <cstring>

#include <unistd.h>

#include "resources/detail/PngFormat.h"

namespace resources_detail
{

namespace
{

constexpr uint8_t kFilterSub = 1;
constexpr uint8_t kFilterPaeth = 4;

void PutBigEndian(uint8_t* out, uint32_t value)
{
    out[0] = uint8_t(value >> 24);
    out[1] = uint8_t(value >> 16);
    out[2] = uint8_t(value >> 8);
    out[3] = uint8_t(value);
}

// zlib's checksums take 32-bit lengths: longer data goes in pieces.
template <class Checksum>
uint32_t InPieces(Checksum checksum, uint32_t value, const void* data, size_t size)
{
    const Bytef* bytes = static_cast<const Bytef*>(data);
    while (size != 0)
    {
        const uInt piece = uInt(size < 0x40000000u ? size : 0x40000000u);
        value = uint32_t(checksum(value, bytes, piece));
        bytes += piece;
        size -= piece;
    }
    return value;
}

uint32_t Crc(uint32_t crc, const void* data, size_t size)
{
    return InPieces(crc32, crc, data, size);
}

} // namespace

Deflater::Deflater(int level, int windowBits, int strategy)
{
    constexpr int kMemLevel = 8; // zlib's default
    m_open = deflateInit2(&stream, level, Z_DEFLATED, windowBits, kMemLevel, strategy) == Z_OK;
}

Deflater::~Deflater()
{
    if (m_open)
        deflateEnd(&stream);
}

bool Deflater::End()
{
    m_open = false;
    return deflateEnd(&stream) == Z_OK;
}

uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size)
{
    return InPieces(adler32, adler, data, size);
}

void FilterPngRow(const uint8_t* raw, const uint8_t* up, size_t stride, size_t bpp, uint8_t* out)
{
    uint8_t* filtered = out + 1;
    if (up == nullptr)
    {
        out[0] = kFilterSub;
        for (size_t i = 0; i < stride; ++i)
            filtered[i] = uint8_t(raw[i] - (i >= bpp ? raw[i - bpp] : 0));
        return;
    }
    out[0] = kFilterPaeth;
    // Left and upper-left are 0 in the first pixel, where Paeth picks up.
    const size_t first = bpp < stride ? bpp : stride;
    for (size_t i = 0; i < first; ++i)
        filtered[i] = uint8_t(raw[i] - up[i]);
    for (size_t i = bpp; i < stride; ++i)
        filtered[i] = uint8_t(raw[i] - Paeth(raw[i - bpp], up[i], up[i - bpp]));
}

void PngChunkWriter::Put(const void* data, size_t size)
{
    if (m_good && size != 0)
        m_good = std::fwrite(data, 1, size, m_file) == size;
}

void PngChunkWriter::WriteHeader(uint32_t width, uint32_t height, size_t bytesPerPixel)
{
    uint8_t header[13];
    PutBigEndian(header, width);
    PutBigEndian(header + 4, height);
    header[8] = 8; // bit depth per sample
    header[9] = kPngColourType[bytesPerPixel];
    header[10] = 0; // compression: deflate
    header[11] = 0; // filter method: adaptive
    header[12] = 0; // no interlace
    Put(kPngSignature, sizeof(kPngSignature));
    WriteChunk("IHDR", header, sizeof(header));
}

void PngChunkWriter::WriteChunk(const char* type, const uint8_t* data, uint32_t size)
{
    uint8_t head[8];
    PutBigEndian(head, size);
    std::memcpy(head + 4, type, 4);
    const uint32_t crc = Crc(Crc(0, head + 4, 4), data, size);
    uint8_t tail[4];
    PutBigEndian(tail, crc);
    Put(head, sizeof(head));
    Put(data, size);
    Put(tail, sizeof(tail));
}

void PngChunkWriter::OpenChunk(const char* type)
{
    m_openAt = m_good ? std::ftell(m_file) : -1;
    m_good = m_openAt >= 0;
    m_openSize = 0;
    std::memcpy(m_openType, type, 4);
    uint8_t head[8] = {};
    std::memcpy(head + 4, type, 4);
    m_openCrc = Crc(0, head + 4, 4);
    Put(head, sizeof(head));
}

void PngChunkWriter::Append(const uint8_t* data, size_t size)
{
    m_openCrc = Crc(m_openCrc, data, size);
    m_openSize += size;
    Put(data, size);
}

void PngChunkWriter::CloseChunk()
{
    uint8_t word[4];
    PutBigEndian(word, m_openCrc);
    Put(word, sizeof(word));
    if (!m_good || m_openSize > kMaxPngChunkData)
    {
        m_good = false;
        return;
    }
    const long end = std::ftell(m_file);
    PutBigEndian(word, uint32_t(m_openSize));
    m_good = end >= 0 && std::fseek(m_file, m_openAt, SEEK_SET) == 0;
    Put(word, sizeof(word));
    m_good = m_good && std::fseek(m_file, end, SEEK_SET) == 0;
}

void PngChunkWriter::EmptyOpenChunk()
{
    // fflush first: what stdio still holds would land past the cut.
    m_good = m_openAt >= 0 && std::fflush(m_file) == 0 &&
             ftruncate(fileno(m_file), m_openAt) == 0 &&
             std::fseek(m_file, m_openAt, SEEK_SET) == 0;
    m_openAt = -1;
    WriteChunk(m_openType, nullptr, 0);
}

} // namespace resources_detail
