#include "assets/WavReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/RegularFile.h"
#include "core/String.h"
#include "resources/detail/DecoderInput.h"

using resources_detail::ReadLe16;
using resources_detail::ReadLe32;

namespace
{

constexpr uint64_t kMaxWavFileBytes = 256u << 20;
constexpr size_t kRiffHeader = 12;
constexpr size_t kChunkHeader = 8;
constexpr uint32_t kFormatBytes = 16;
constexpr uint16_t kPcm = 1;

bool IsTag(const uint8_t* p, const char* tag)
{
    return std::memcmp(p, tag, 4) == 0;
}

struct Format
{
    uint32_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t bits = 0;
};

// False for a chunk too short, or a format this reader does not take.
bool ReadFormat(const uint8_t* body, uint64_t length, uint64_t available, Format& format)
{
    if (length < kFormatBytes || available < kFormatBytes || ReadLe16(body) != kPcm)
        return false;
    format.channels = ReadLe16(body + 2);
    format.sampleRate = ReadLe32(body + 4);
    format.bits = ReadLe16(body + 14);
    return format.channels != 0 && format.bits != 0;
}

} // namespace

SoundData ReadWav(const String& path)
{
    std::vector<uint8_t> bytes;
    if (!ReadRegularFile(path, bytes, kMaxWavFileBytes) || bytes.size() < kRiffHeader ||
        !IsTag(bytes.data(), "RIFF") || !IsTag(bytes.data() + 8, "WAVE"))
        return {};

    Format format;
    bool hasFormat = false;
    const uint8_t* data = nullptr;
    uint64_t dataSize = 0;
    uint64_t at = kRiffHeader;
    while (bytes.size() - at >= kChunkHeader)
    {
        const uint8_t* header = bytes.data() + at;
        const uint64_t length = ReadLe32(header + 4);
        at += kChunkHeader;
        const uint64_t available = bytes.size() - at;
        if (IsTag(header, "fmt "))
        {
            if (!ReadFormat(bytes.data() + at, length, available, format))
                return {};
            hasFormat = true;
        }
        else if (IsTag(header, "data") && !data)
        {
            data = bytes.data() + at;
            dataSize = std::min(length, available);
        }
        // Chunks of odd length are followed by one pad byte.
        const uint64_t skip = length + (length & 1);
        if (skip >= available)
            break;
        at += skip;
    }
    if (!hasFormat || !data)
        return {};

    // Only whole frames: a cut-off file must not leave half a sample.
    const uint64_t frame = uint64_t(format.channels) * ((format.bits + 7) / 8);
    dataSize -= dataSize % frame;
    SoundData sound;
    sound.samples.reset(new uint8_t[dataSize ? dataSize : 1]);
    std::memcpy(sound.samples.get(), data, dataSize);
    sound.size = uint32_t(dataSize);
    sound.channels = format.channels;
    sound.sampleRate = format.sampleRate;
    sound.bits = format.bits;
    return sound;
}
