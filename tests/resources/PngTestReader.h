// Test-only PNG reader, written apart from the engine's encoder and decoders
// so it cannot share their mistakes: checks every chunk CRC with zlib's
// crc32, inflates IDAT with zlib and undoes all five filter types.
// Handles 8-bit, non-interlaced grey, grey+alpha, RGB and RGBA only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngTestChunk
{
    std::string type;
    uint32_t length = 0;
    bool crcOk = false;
};

struct PngTestImage
{
    std::string error;                // empty when the whole file was read and checked
    std::vector<PngTestChunk> chunks; // in file order
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;
    unsigned channels = 0;
    std::vector<uint8_t> filtered; // inflated image data, filter bytes included
    std::vector<uint8_t> pixels;   // unfiltered, top row first
};

PngTestImage ReadPngForTest(const std::vector<uint8_t>& file);
PngTestImage ReadPngFileForTest(const std::string& path);
std::vector<uint8_t> ReadWholeFile(const std::string& path);
