// Ogg Vorbis decoding through vorbisfile into 16-bit signed little-endian
// PCM: a whole file at once, or piece by piece with looping for a stream.
// The decoder state is released when the reader closes or goes.
#pragma once

#include <cstdint>
#include <memory>

#include "assets/Sound.h"

class String;
struct OggVorbis_File;

class OggReader
{
public:
    // Files and decoded sizes past these are refused: the size fits the
    // sound's 32-bit field, and one decode stays within memory.
    static constexpr uint64_t kMaxFileBytes = 256u << 20;
    static constexpr uint64_t kMaxTotalBytes = uint64_t(1) << 31;
    static constexpr uint64_t kMaxDecodeBytes = 256u << 20;

    OggReader();
    ~OggReader();
    OggReader(const OggReader&) = delete;
    OggReader& operator=(const OggReader&) = delete;

    // Closes what was open, then opens the file. False, closed, for a file
    // that cannot be read or is no Vorbis stream, or whose stated length is
    // unknown or past kMaxTotalBytes of samples.
    bool Open(const String& path);
    void Close();
    bool IsOpen() const { return m_file != nullptr; }

    // Fills `buffer` with up to `length` bytes. At the end of the stream a
    // looping read starts again from the beginning, unless the restart
    // yields nothing; otherwise the rest of the buffer is zeroed. Returns
    // the bytes decoded (not the zeros): 0 when not open or when the stream
    // has a hole or a bad link.
    uint32_t Read(uint8_t* buffer, uint32_t length, bool loop);

    // The whole file decoded; null samples for a file Open refuses, one
    // stating no samples or more than kMaxDecodeBytes, or one that fails
    // while it is decoded. Only the bytes decoded are kept, however many
    // the file stated. Leaves the reader closed.
    SoundData DecodeAll(const String& path);

    uint32_t GetChannels() const { return m_channels; }
    uint32_t GetSampleRate() const { return m_sampleRate; }
    uint32_t GetBits() const { return m_bits; }
    // Bytes of the whole decoded stream, as the file states it.
    uint32_t GetTotalSize() const { return m_totalSize; }

private:
    // The bytes decoded, or -1 for a hole or a bad link.
    int64_t Decode(uint8_t* buffer, uint32_t length, bool loop);

    struct FileDeleter
    {
        void operator()(OggVorbis_File* file) const;
    };
    std::unique_ptr<OggVorbis_File, FileDeleter> m_file;
    uint32_t m_channels = 0;
    uint32_t m_sampleRate = 0;
    uint32_t m_bits = 16;
    uint32_t m_totalSize = 0;
};
