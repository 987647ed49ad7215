// CImage: owns one pixel buffer allocated with new[], converts between the
// grey, grey+alpha, RGB and RGBA layouts and copies blocks between images.
// Byte counts are computed in 64 bits; a count that cannot exist at all is
// reported like any other failed allocation.
#include "resources/Image.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace
{

// A wrapped product would allocate too little and let later writes run past
// the buffer, so a count beyond size_t fails the way an allocation does.
size_t ByteCount(unsigned width, unsigned height, unsigned channels)
{
    const uint64_t area = uint64_t(width) * height;
    if (channels != 0 && area > SIZE_MAX / channels)
        throw std::bad_alloc();
    return size_t(area * channels);
}

} // namespace

CImage::CImage() : CResource(KindImage) {}

CImage::CImage(const CImage& source) : CResource(KindImage)
{
    CopyFrom(source);
}

CImage& CImage::operator=(const CImage& source)
{
    CopyFrom(source);
    return *this;
}

CImage::~CImage() = default;

void CImage::CopyFrom(const CImage& source)
{
    if (&source == this)
        return;
    m_name = source.m_name;
    m_fileName = source.m_fileName;
    SetFromCopy(source.m_pixels.get(), source.m_width, source.m_height, source.m_channels,
                source.m_bits);
    // An empty source still has dimensions (a texture after upload); a copy
    // that dropped them would not be a copy.
    m_width = source.m_width;
    m_height = source.m_height;
    m_channels = source.m_channels;
    m_bits = source.m_bits;
}

void CImage::Create(unsigned width, unsigned height, unsigned channels, int bits)
{
    // Allocate before freeing so a failed allocation leaves the image as it was.
    Adopt(std::unique_ptr<uint8_t[]>(new uint8_t[ByteCount(width, height, channels)]()), width,
          height, channels, bits);
}

void CImage::SetFromCopy(const uint8_t* buffer, unsigned width, unsigned height, unsigned channels,
                         int bits)
{
    if (!buffer)
    {
        FreePixels();
        return;
    }
    // Copy before freeing: the buffer may be this image's own pixels.
    const size_t count = ByteCount(width, height, channels);
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[count]);
    std::memcpy(pixels.get(), buffer, count);
    Adopt(std::move(pixels), width, height, channels, bits);
}

void CImage::Adopt(uint8_t* buffer, unsigned width, unsigned height, unsigned channels, int bits)
{
    // Taking back the buffer it already owns must not free it first.
    if (buffer != m_pixels.get())
        m_pixels.reset(buffer);
    m_width = width;
    m_height = height;
    m_channels = channels;
    m_bits = bits;
}

void CImage::Adopt(std::unique_ptr<uint8_t[]> buffer, unsigned width, unsigned height,
                   unsigned channels, int bits)
{
    Adopt(buffer.release(), width, height, channels, bits);
}

void CImage::FreePixels()
{
    m_pixels.reset();
}

float CImage::GetAspect() const
{
    return m_height == 0 ? 0.0f : float(m_width) / float(m_height);
}

const uint8_t* CImage::GetPixel(unsigned x, unsigned y) const
{
    if (!m_pixels || x >= m_width || y >= m_height)
        return nullptr;
    return m_pixels.get() + (uint64_t(y) * m_width + x) * m_channels;
}

uint8_t* CImage::GetPixel(unsigned x, unsigned y)
{
    // One bounds check for both; the pixels are this image's to hand out.
    return const_cast<uint8_t*>(std::as_const(*this).GetPixel(x, y));
}

void CImage::SetPixel(unsigned x, unsigned y, const uint8_t* value)
{
    assert(value && "CImage::SetPixel(): null value");
    if (uint8_t* pixel = GetPixel(x, y))
        std::memcpy(pixel, value, m_channels);
}

// Conversions, source channels down, target across:
//        to 1            to 3               to 4
//   1    -               (g, g, g)          (g, g, g, 255)
//   2    g               (g, g, g)          (g, g, g, a)
//   3    (r+g+b)/3       -                  (r, g, b, 255)
//   4    (r+g+b)/3       (r, g, b)          -
// Grey+alpha is never a target; as a source it is treated as grey that
// carries its alpha wherever the target has one.
void CImage::ConvertChannels(unsigned channels)
{
    const unsigned from = m_channels;
    const unsigned to = channels;
    if (to == from || (to != 1 && to != 3 && to != 4))
        return;
    if (!m_pixels || from < 1 || from > 4)
        return;

    const bool grey = from <= 2;
    const bool alpha = from == 2 || from == 4;
    const uint64_t count = uint64_t(m_width) * m_height;
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[ByteCount(m_width, m_height, to)]);
    const uint8_t* src = m_pixels.get();
    uint8_t* dst = pixels.get();
    for (uint64_t i = 0; i < count; ++i, src += from, dst += to)
    {
        if (to == 1)
        {
            dst[0] = grey ? src[0] : uint8_t((src[0] + src[1] + src[2]) / 3);
            continue;
        }
        dst[0] = src[0];
        dst[1] = grey ? src[0] : src[1];
        dst[2] = grey ? src[0] : src[2];
        if (to == 4)
            dst[3] = alpha ? src[from - 1] : 255;
    }

    m_pixels = std::move(pixels);
    m_channels = to;
    m_bits = int(to * 8);
}

// The block's source rows keep their order but land so that its top edge is
// `y` rows below this image's top edge (rows are stored bottom first). A
// block taller than the room below that edge is not copied at all; columns
// are clipped to both rows.
void CImage::Blit(const CImage& source, unsigned x, unsigned y, unsigned sourceX, unsigned sourceY,
                  unsigned width, unsigned height)
{
    if (!m_pixels)
        return;
    const unsigned c = m_channels;

    // Only a converted source, or this image itself, needs a private copy.
    const CImage* from = &source;
    CImage copy;
    if (source.m_channels != c || &source == this)
    {
        copy.CopyFrom(source);
        copy.ConvertChannels(c);
        from = &copy;
    }
    if (!from->m_pixels || from->m_channels != c)
        return;

    const uint64_t rowEnd = std::min<uint64_t>(uint64_t(sourceY) + height, from->m_height);
    if (rowEnd <= sourceY)
        return;
    const uint64_t rows = rowEnd - sourceY;
    if (uint64_t(y) + rows > m_height)
        return;
    const uint64_t firstRow = m_height - y - rows;

    const uint64_t sourceStride = uint64_t(from->m_width) * c;
    const uint64_t destStride = uint64_t(m_width) * c;
    const uint64_t begin = uint64_t(sourceX) * c;
    const uint64_t end = std::min(begin + uint64_t(width) * c, sourceStride);
    const uint64_t destBegin = uint64_t(x) * c;
    if (end <= begin || destBegin >= destStride)
        return;
    const uint64_t count = std::min(end - begin, destStride - destBegin);

    for (uint64_t i = 0; i < rows; ++i)
    {
        std::memcpy(m_pixels.get() + (firstRow + i) * destStride + destBegin,
                    from->m_pixels.get() + (sourceY + i) * sourceStride + begin, count);
    }
}

void CImage::BlitWhole(const CImage& source)
{
    Blit(source, 0, 0, 0, 0, source.m_width, source.m_height);
}
