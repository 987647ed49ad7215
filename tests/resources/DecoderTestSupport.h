// Shared by the image decoder tests: the pictures ImageMagick made (with the
// pixels it decoded from them), a scratch directory for byte-edited copies,
// and a sweep that feeds a decoder every truncation of a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ScratchDir.h"

namespace decodertest
{

using Pixels = std::unique_ptr<uint8_t[]>;
using Probe = int (*)(const char*);

struct Decoder
{
    uint8_t* (*load)(const char*);
    Probe bits, width, height;
};

// A picture under tests/data/images and the raw pixels convert read from it.
struct Reference
{
    const char* file;
    const char* raw;
    int width, height, bits;
};

std::string DataPath(const std::string& name);
std::vector<uint8_t> ReadBytes(const std::string& path);
std::vector<uint8_t> FlipRows(const std::vector<uint8_t>& pixels, size_t rowBytes);
// convert's pixels (top row first) turned bottom row first like ours.
std::vector<uint8_t> ReferencePixels(const std::string& rawName, size_t rowBytes);
// The loader's buffer as a vector of `size` bytes, or empty for null.
std::vector<uint8_t> Load(const Decoder& decoder, const std::string& path, size_t size);

// The probes report the reference's size and bits, and the loader gives
// convert's pixels, each sample within `tolerance`.
void ExpectLikeImageMagick(const Decoder& decoder, const Reference& reference, int tolerance = 0);

// 8-bit pictures load as palette indices, while convert reports colours:
// maps each of convert's rgb pixels back to the index of its entry in a
// table of blue-green-red entries `entrySize` bytes apart.
std::vector<uint8_t> IndicesOf(const std::vector<uint8_t>& rgb, const uint8_t* table,
                               size_t entries, size_t entrySize);

void PutLe16(std::vector<uint8_t>& bytes, size_t at, uint32_t value);
void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);
void PutBe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);

class ScratchFiles : public ::testing::Test
{
protected:
    // Writes `bytes` to a file in the scratch directory, fresh unless named.
    std::string Write(const std::vector<uint8_t>& bytes, const std::string& name = "");
    // Every truncation shorter than `mustFailBelow` bytes must be refused;
    // longer ones only have to be survived. Probes give -1 below
    // `headerSize` bytes.
    void SweepTruncations(const Decoder& decoder, const std::vector<uint8_t>& file,
                          size_t mustFailBelow, size_t headerSize);

    ScratchDir m_scratch{"vemmo-dec"};
    const std::filesystem::path& m_dir = m_scratch.Path();
    int m_count = 0;
};

} // namespace decodertest
