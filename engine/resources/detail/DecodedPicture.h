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

DecodedPicture DecodeBmp(const char* fileName);
DecodedPicture DecodeJpg(const char* fileName);
DecodedPicture DecodePng(const char* fileName);
DecodedPicture DecodeTga(const char* fileName);

} // namespace resources_detail
