#include "assets/OggReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <vorbis/vorbisfile.h>

#include "core/RegularFile.h"
#include "core/String.h"

namespace
{

constexpr uint32_t kBytesPerSample = 2;
// ov_read takes an int length; pieces this size keep it far from the edge.
constexpr uint32_t kReadPiece = 1u << 16;

} // namespace

void OggReader::FileDeleter::operator()(OggVorbis_File* file) const
{
    ov_clear(file);
    delete file;
}

OggReader::OggReader() = default;

OggReader::~OggReader() = default;

void OggReader::Close()
{
    m_file.reset();
    m_channels = 0;
    m_sampleRate = 0;
    m_totalSize = 0;
}

bool OggReader::Open(const String& path)
{
    Close();
    UniqueFile file = OpenRegularFile(path, kMaxFileBytes);
    if (!file)
        return false;
    auto vorbis = std::make_unique<OggVorbis_File>();
    std::memset(vorbis.get(), 0, sizeof(OggVorbis_File));
    // On failure vorbisfile leaves the FILE* to us; on success it owns it
    // and ov_clear closes it.
    if (ov_open_callbacks(file.get(), vorbis.get(), nullptr, 0, OV_CALLBACKS_DEFAULT) != 0)
        return false;
    file.release();
    std::unique_ptr<OggVorbis_File, FileDeleter> opened(vorbis.release());

    const vorbis_info* info = ov_info(opened.get(), -1);
    const ogg_int64_t frames = ov_pcm_total(opened.get(), -1);
    if (!info || info->channels <= 0 || info->rate <= 0 || frames < 0)
        return false;
    // In 64 bits, and checked by division so that a stated length near
    // the top of the range cannot wrap.
    const uint64_t frameBytes = uint64_t(info->channels) * kBytesPerSample;
    if (uint64_t(frames) > kMaxTotalBytes / frameBytes)
        return false;
    m_file = std::move(opened);
    m_channels = uint32_t(info->channels);
    m_sampleRate = uint32_t(info->rate);
    m_bits = 16;
    m_totalSize = uint32_t(uint64_t(frames) * frameBytes);
    return true;
}

int64_t OggReader::Decode(uint8_t* buffer, uint32_t length, bool loop)
{
    if (!m_file)
        return 0;
    uint32_t done = 0;
    bool justRestarted = false;
    while (done < length)
    {
        int section = 0;
        const long got =
            ov_read(m_file.get(), reinterpret_cast<char*>(buffer + done),
                    int(std::min(length - done, kReadPiece)), 0, kBytesPerSample, 1, &section);
        if (got == OV_HOLE || got == OV_EBADLINK)
            return -1;
        if (got < 0)
            break;
        if (got > 0)
        {
            done += uint32_t(got);
            justRestarted = false;
            continue;
        }
        // The end: once round again when looping, but a stream that gives
        // nothing from its start would loop for ever.
        if (!loop || justRestarted || ov_pcm_seek(m_file.get(), 0) != 0)
            break;
        justRestarted = true;
    }
    if (done < length)
        std::memset(buffer + done, 0, length - done);
    return done;
}

uint32_t OggReader::Read(uint8_t* buffer, uint32_t length, bool loop)
{
    const int64_t done = Decode(buffer, length, loop);
    return done < 0 ? 0 : uint32_t(done);
}

SoundData OggReader::DecodeAll(const String& path)
{
    SoundData sound;
    if (!Open(path) || m_totalSize == 0 || m_totalSize > kMaxDecodeBytes)
    {
        Close();
        return sound;
    }
    // Grown as decoding goes rather than sized from the stated length, which
    // a file can make up.
    std::vector<uint8_t> samples;
    const uint32_t piece = kReadPiece - kReadPiece % (m_channels * kBytesPerSample);
    while (samples.size() < m_totalSize)
    {
        const uint32_t want = std::min<uint32_t>(piece, m_totalSize - uint32_t(samples.size()));
        const size_t at = samples.size();
        samples.resize(at + want);
        const int64_t got = Decode(samples.data() + at, want, false);
        if (got < 0)
        {
            Close();
            return sound;
        }
        samples.resize(at + size_t(got));
        if (uint32_t(got) < want)
            break;
    }
    if (!samples.empty())
    {
        sound.samples.reset(new uint8_t[samples.size()]);
        std::memcpy(sound.samples.get(), samples.data(), samples.size());
        sound.size = uint32_t(samples.size());
        sound.channels = m_channels;
        sound.sampleRate = m_sampleRate;
        sound.bits = m_bits;
    }
    Close();
    return sound;
}
