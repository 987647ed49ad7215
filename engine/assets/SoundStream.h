// A sound streamed from an Ogg Vorbis file: the file stays open in a reader
// and the sound holds a two-part sample buffer sized from the requested
// length. Nothing plays it; its duration is that of the whole stream.
#pragma once

#include <cstdint>
#include <memory>

#include "assets/Sound.h"

class OggReader;
class String;

class CSoundStream : public CSound
{
public:
    // Requested lengths are held within these milliseconds, and a buffer
    // past kMaxBufferBytes is refused, whatever the format claims.
    static constexpr uint32_t kMinSize = 1;
    static constexpr uint32_t kMaxSize = 60000;
    static constexpr uint64_t kMaxBufferBytes = 64u << 20;

    CSoundStream();
    ~CSoundStream() override;

    // Opens the file with a buffer for `size` milliseconds of it
    // (channels x rate x bits x size / 1000 bytes, in two halves). False,
    // with no reader left, when the file cannot be opened as Ogg Vorbis or
    // the buffer would be too large.
    bool OpenStream(const String& path, uint32_t size);

    int64_t GetDuration() const override;

    bool IsOpen() const { return m_open; }
    bool IsLooping() const { return m_looping; }
    void SetLooping(bool looping) { m_looping = looping; }
    uint32_t GetHalfBufferSize() const { return m_halfBufferSize; }
    uint32_t GetTotalSize() const { return m_totalSize; }
    // Null until a stream opened.
    OggReader* GetReader() { return m_reader.get(); }

private:
    bool m_looping = true;
    std::unique_ptr<OggReader> m_reader;
    uint32_t m_halfBufferSize = 0;
    bool m_open = false;
    uint32_t m_totalSize = 0;
};
