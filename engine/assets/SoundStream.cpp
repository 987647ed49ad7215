#include "assets/SoundStream.h"

#include <algorithm>
#include <cstring>

#include "assets/OggReader.h"

CSoundStream::CSoundStream() : CSound(KindSoundStream) {}

CSoundStream::~CSoundStream() = default;

bool CSoundStream::OpenStream(const String& path, uint32_t size)
{
    if (!m_reader)
        m_reader = std::make_unique<OggReader>();
    size = std::clamp(size, kMinSize, kMaxSize);
    uint64_t bits = 0;
    if (m_reader->Open(path))
        bits = uint64_t(m_reader->GetChannels()) * m_reader->GetSampleRate() * m_reader->GetBits() *
               size;
    // The buffer is bits / 1000 bytes; 64 bits hold it for any stated rate.
    const uint64_t bufferBytes = bits / 1000;
    if (bufferBytes == 0 || bufferBytes > kMaxBufferBytes)
    {
        m_reader.reset();
        m_open = false;
        return false;
    }
    m_halfBufferSize = uint32_t(bits / 2000);
    m_totalSize = m_reader->GetTotalSize();
    SoundData buffer;
    buffer.samples.reset(new uint8_t[bufferBytes]());
    buffer.size = uint32_t(bufferBytes);
    buffer.channels = m_reader->GetChannels();
    buffer.sampleRate = m_reader->GetSampleRate();
    buffer.bits = m_reader->GetBits();
    Adopt(std::move(buffer));
    m_open = true;
    return true;
}

int64_t CSoundStream::GetDuration() const
{
    return DurationOf(m_totalSize);
}
