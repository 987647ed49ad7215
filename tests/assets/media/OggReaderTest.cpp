// Ogg Vorbis against tones encoded here with libvorbisenc: whole decodes to
// the byte and the millisecond, looping and plain reads, streams and their
// buffers, and the hostile table: a stream with no samples read in a loop,
// WAV and garbage files, folders, empty and cut-off files.

#include "assets/OggReader.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MediaFiles.h"
#include "assets/SoundStream.h"
#include "assets/WavReader.h"
#include "core/String.h"

using namespace mediatest;

namespace
{

// Encoded once for the whole suite.
const Bytes& Tone()
{
    static const Bytes tone = OggTone(1, 22050, 55125); // 2.5 s
    return tone;
}

class OggReaderTest : public ::testing::Test
{
protected:
    Scratch m_files;
};

} // namespace

TEST_F(OggReaderTest, DecodesTwoAndAHalfSecondsToTheByteAndTheMillisecond)
{
    OggReader reader;
    SoundData data = reader.DecodeAll(m_files.Write(Tone()).c_str());
    ASSERT_TRUE(data.samples);
    EXPECT_EQ(data.size, 110250u);
    EXPECT_EQ(data.channels, 1u);
    EXPECT_EQ(data.sampleRate, 22050u);
    EXPECT_EQ(data.bits, 16u);
    EXPECT_FALSE(reader.IsOpen());
    // A 440 Hz tone at half scale: loud, and nowhere near clipping.
    int peak = 0;
    for (uint32_t i = 0; i + 1 < data.size; i += 2)
        peak = std::max(peak, std::abs(int(int16_t(data.samples[i] | data.samples[i + 1] << 8))));
    EXPECT_GT(peak, 10000);
    EXPECT_LT(peak, 25000);

    CSound sound;
    sound.Adopt(std::move(data));
    EXPECT_EQ(sound.GetDuration(), 2500);

    SoundData stereo = reader.DecodeAll(m_files.Write(OggTone(2, 44100, 44100)).c_str());
    EXPECT_EQ(stereo.size, 176400u);
}

TEST_F(OggReaderTest, LoopingReadsGoRoundAndPlainReadsEndInZeros)
{
    OggReader reader;
    ASSERT_TRUE(reader.Open(m_files.Write(Tone()).c_str()));
    EXPECT_EQ(reader.GetTotalSize(), 110250u);

    std::vector<uint8_t> buffer(300000, 0xAB);
    EXPECT_EQ(reader.Read(buffer.data(), uint32_t(buffer.size()), true), 300000u);
    // Round once and a bit: the start comes again after the whole stream.
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 1000, buffer.begin() + 110250));

    ASSERT_TRUE(reader.Open(m_files.Write(Tone()).c_str()));
    std::fill(buffer.begin(), buffer.end(), 0xAB);
    EXPECT_EQ(reader.Read(buffer.data(), uint32_t(buffer.size()), false), 110250u);
    EXPECT_EQ(std::count(buffer.begin() + 110250, buffer.end(), 0), 300000 - 110250);

    reader.Close();
    EXPECT_EQ(reader.Read(buffer.data(), 100, true), 0u);
}

TEST_F(OggReaderTest, StreamsKeepTheFileOpenWithABufferSizedFromTheRequest)
{
    CSoundStream stream;
    EXPECT_EQ(stream.GetKind(), CResource::KindSoundStream);
    EXPECT_TRUE(stream.IsLooping());
    ASSERT_TRUE(stream.OpenStream(m_files.Write(Tone()).c_str(), 500));
    EXPECT_TRUE(stream.IsOpen());
    ASSERT_NE(stream.GetReader(), nullptr);
    // channels x rate x bits x size = 1 x 22050 x 16 x 500
    EXPECT_EQ(stream.GetSize(), 176400u);
    EXPECT_EQ(stream.GetHalfBufferSize(), 88200u);
    EXPECT_EQ(stream.GetTotalSize(), 110250u);
    EXPECT_EQ(stream.GetDuration(), 2500);

    // A huge request is held to the longest buffer.
    ASSERT_TRUE(stream.OpenStream(m_files.Write(Tone()).c_str(), 4000000000u));
    EXPECT_EQ(stream.GetSize(), uint64_t(22050) * 16 * CSoundStream::kMaxSize / 1000);

    const std::string wav = m_files.Write(WaveFile({FormatChunk(1, 1, 8000, 8)}));
    EXPECT_FALSE(stream.OpenStream(wav.c_str(), 500));
    EXPECT_EQ(stream.GetReader(), nullptr);
    EXPECT_FALSE(stream.IsOpen());
}

TEST_F(OggReaderTest, RefusesOrStopsCleanlyOnFilesThatAreNotWhole)
{
    // Headers and no audio: the looping read that finds nothing after a
    // restart must stop, not spin.
    const std::string silent = m_files.Write(OggTone(1, 8000, 0));
    OggReader reader;
    ASSERT_TRUE(reader.Open(silent.c_str()));
    EXPECT_EQ(reader.GetTotalSize(), 0u);
    std::vector<uint8_t> buffer(64, 0xAB);
    EXPECT_EQ(reader.Read(buffer.data(), 64, true), 0u);
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0), 64);
    EXPECT_FALSE(reader.DecodeAll(silent.c_str()).samples);

    Bytes garbage = Tone();
    for (size_t i = 200; i < garbage.size(); i += 97)
        garbage[i] ^= 0x5A;
    const std::vector<std::pair<const char*, Bytes>> refused = {
        {"empty", {}},
        {"WAV", WaveFile({FormatChunk(1, 1, 8000, 8), RiffChunk("data", Bytes(8, 1))})},
        {"text", Bytes(100, 'x')},
        {"first page only", Bytes(Tone().begin(), Tone().begin() + 30)},
    };
    for (const auto& [name, bytes] : refused)
    {
        EXPECT_FALSE(reader.Open(m_files.Write(bytes).c_str())) << name;
        EXPECT_FALSE(reader.DecodeAll(m_files.Write(bytes).c_str()).samples) << name;
    }
    EXPECT_FALSE(reader.Open(m_files.Folder().c_str()));

    // Damaged or cut short: whatever decodes is at most what was stated.
    const SoundData damaged = reader.DecodeAll(m_files.Write(garbage).c_str());
    EXPECT_LE(damaged.size, 110250u);
    for (size_t length = 0; length < Tone().size(); length += 211)
    {
        const Bytes cut(Tone().begin(), Tone().begin() + long(length));
        const SoundData data = reader.DecodeAll(m_files.Write(cut).c_str());
        EXPECT_LE(data.size, 110250u) << length;
        EXPECT_EQ(data.size % 2, 0u) << length;
    }
}
