#include "assets/Sound.h"

#include <utility>

CSound::CSound() : CResource(KindSound) {}

CSound::CSound(int kind) : CResource(kind) {}

int64_t CSound::GetDuration() const
{
    return DurationOf(m_size);
}

int64_t CSound::DurationOf(uint64_t bytes) const
{
    const double bytesPerSecond = double(m_sampleRate) * m_channels * m_bits / 8.0;
    if (bytesPerSecond == 0.0)
        return 0;
    return int64_t(double(bytes) / bytesPerSecond * 1000.0);
}

void CSound::Adopt(SoundData&& data)
{
    m_samples = std::move(data.samples);
    m_size = m_samples ? data.size : 0;
    m_channels = data.channels;
    m_sampleRate = data.sampleRate;
    m_bits = data.bits;
}
