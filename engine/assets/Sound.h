// A sound resource: PCM samples loaded from a WAV file or decoded from Ogg
// Vorbis, kept with their format and measured, never played (the system has
// no audio output).
#pragma once

#include <cstdint>
#include <memory>

#include "resources/Resource.h"

// Samples and their format as a reader hands them over.
struct SoundData
{
    std::unique_ptr<uint8_t[]> samples; // null when nothing was read
    uint32_t size = 0;                  // bytes of samples
    uint32_t channels = 0;
    uint32_t sampleRate = 0; // frames per second
    uint32_t bits = 0;       // per sample
};

class CSound : public CResource
{
public:
    CSound();

    // Milliseconds of the samples, truncated; 0 without a format.
    virtual int64_t GetDuration() const;

    // Takes the samples with their format, dropping what was held.
    void Adopt(SoundData&& data);

    const uint8_t* GetSamples() const { return m_samples.get(); }
    uint32_t GetSize() const { return m_size; }
    uint32_t GetChannels() const { return m_channels; }
    uint32_t GetSampleRate() const { return m_sampleRate; }
    uint32_t GetBits() const { return m_bits; }

protected:
    explicit CSound(int kind);
    // Milliseconds that `bytes` of samples last in this format.
    int64_t DurationOf(uint64_t bytes) const;

    std::unique_ptr<uint8_t[]> m_samples;
    uint32_t m_channels = 0;
    uint32_t m_sampleRate = 0;
    uint32_t m_bits = 0;
    uint32_t m_size = 0;
};
