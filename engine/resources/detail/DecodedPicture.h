// The decode-once entry of each image decoder: pixels together with the size
// and depth from the same header. LoadPicture hands all of it to an image;
// each format's LoadXxx keeps only the pixels.
#pragma once

#include <cstdint>
#include <memory>

namespace resources_detail
{

struct DecodedPicture
{
    // width x height x channels bytes, bottom row first; null on failure.
    std::unique_ptr<uint8_t[]> pixels;
    unsigned width = 0;
    unsigned height = 0;
    unsigned channels = 0;
    int bits = 0;
};

// Memory the system will not give is one more reason a picture cannot be
// decoded: these catch std::bad_alloc and give an empty result.
DecodedPicture DecodeBmp(const char* fileName) noexcept;
DecodedPicture DecodeJpg(const char* fileName) noexcept;
DecodedPicture DecodePng(const char* fileName) noexcept;
DecodedPicture DecodeTga(const char* fileName) noexcept;

} // namespace resources_detail
