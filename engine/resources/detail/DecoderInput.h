// Shared by the image decoders: files read whole or in part through a FILE*
// that cannot leak, little- and big-endian fields, and the size checks that
// keep a lying header from making a decoder allocate what no file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/RegularFile.h"
#include "core/String.h"
#include "resources/PictureFile.h"

namespace resources_detail
{

using ::UniqueFile;

// Read-only, binary; null when the file cannot be opened, or is no regular
// file once links are followed, or is longer than kMaxPictureFileBytes.
inline UniqueFile OpenForReading(const char* path)
{
    return path ? OpenRegularFile(path, kMaxPictureFileBytes) : nullptr;
}

// The whole file, grown as it is read (the length a seek reports is not
// trusted). False when the file cannot be opened, a read fails or the file
// grows past kMaxPictureFileBytes.
inline bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    return path && ReadRegularFile(path, bytes, kMaxPictureFileBytes);
}

// Exactly `count` bytes from the start of the file, or false.
inline bool ReadFileHead(const char* path, uint8_t* bytes, size_t count)
{
    UniqueFile file = OpenForReading(path);
    return file && std::fread(bytes, 1, count, file.get()) == count;
}

inline uint16_t ReadLe16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

inline uint32_t ReadLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint32_t ReadBe32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// width x height x channels in bytes, or 0 when any factor is 0 or the
// product exceeds `limit` (checked by division, so it cannot overflow).
inline uint64_t PictureBytes(uint64_t width, uint64_t height, uint64_t channels, uint64_t limit)
{
    if (width == 0 || height == 0 || channels == 0)
        return 0;
    if (width > limit / channels)
        return 0;
    const uint64_t row = width * channels;
    if (height > limit / row)
        return 0;
    return row * height;
}

// False past kMaxPicturePixels, which no file size excuses.
inline bool WithinPixelCeiling(uint64_t width, uint64_t height)
{
    return height == 0 || width <= kMaxPicturePixels / height;
}

// Bytes per pixel of the depths BMP and TGA loaders read (8 grey, 24 RGB,
// 32 RGBA); 0 for any other depth.
inline size_t ChannelsForBits(int bits)
{
    return bits == 8 ? 1 : bits == 24 ? 3 : bits == 32 ? 4 : 0;
}

// Red first: swaps bytes 0 and 2 of every pixel of `count` pixels.
inline void SwapRedBlue(uint8_t* pixels, size_t count, size_t channels)
{
    for (size_t i = 0; i < count; ++i, pixels += channels)
    {
        const uint8_t blue = pixels[0];
        pixels[0] = pixels[2];
        pixels[2] = blue;
    }
}

} // namespace resources_detail
