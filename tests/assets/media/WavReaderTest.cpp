// WAV files built here: the plain layout, odd and unknown chunks, long
// "fmt " chunks, a second "data" chunk, and the hostile table: other
// formats, short "fmt " chunks, lengths past the file, folders, empty and
// cut-off files.

#include "assets/WavReader.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MediaFiles.h"
#include "assets/Sound.h"
#include "core/String.h"

using namespace mediatest;

namespace
{

Bytes Samples(size_t count)
{
    Bytes samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] = uint8_t(i * 7 + 1);
    return samples;
}

} // namespace

TEST(WavReader, ReadsOneSecondOfStereoAsAThousandMilliseconds)
{
    Scratch files;
    const Bytes samples = Samples(176400);
    SoundData data = ReadWav(
        files.Write(WaveFile({FormatChunk(1, 2, 44100, 16), RiffChunk("data", samples)})).c_str());
    ASSERT_TRUE(data.samples);
    EXPECT_EQ(data.size, 176400u);
    EXPECT_EQ(data.channels, 2u);
    EXPECT_EQ(data.sampleRate, 44100u);
    EXPECT_EQ(data.bits, 16u);
    EXPECT_EQ(Bytes(data.samples.get(), data.samples.get() + data.size), samples);

    CSound sound;
    EXPECT_EQ(sound.GetKind(), CResource::KindSound);
    EXPECT_EQ(sound.GetDuration(), 0);
    sound.Adopt(std::move(data));
    EXPECT_EQ(sound.GetDuration(), 1000);
    EXPECT_EQ(sound.GetSize(), 176400u);
}

TEST(WavReader, WalksOddUnknownAndLongChunksAndKeepsTheFirstData)
{
    Bytes longFormat = FormatChunk(1, 1, 8000, 8);
    longFormat[4] = 18; // two extra bytes after the sixteen
    longFormat.insert(longFormat.end(), {0xAA, 0xBB});
    const Bytes first = Samples(5); // odd: padded
    SoundData data =
        ReadWav(Scratch()
                    .Write(WaveFile({RiffChunk("LIST", Samples(3)), longFormat,
                                     RiffChunk("data", first), RiffChunk("data", Samples(8))}))
                    .c_str());
    ASSERT_TRUE(data.samples);
    EXPECT_EQ(data.channels, 1u);
    EXPECT_EQ(data.bits, 8u);
    EXPECT_EQ(Bytes(data.samples.get(), data.samples.get() + data.size), first);
}

TEST(WavReader, RefusesOrTrimsWhatTheFileCannotBackUp)
{
    Bytes shortFormat = RiffChunk("fmt ", Bytes(14, 1));
    Bytes lying = RiffChunk("data", Samples(10));
    lying[4] = 0xFF; // 255 bytes claimed, 10 there
    Bytes huge = RiffChunk("data", Samples(6));
    huge[7] = 0xFF; // past 4 GiB when added to the offset
    Bytes zeroChannels = FormatChunk(1, 0, 8000, 16);
    const Bytes formatOnly = WaveFile({FormatChunk(1, 1, 8000, 8)});
    struct Case
    {
        const char* name;
        Bytes file;
        uint32_t size; // bytes kept; 0 for no samples
    };
    const std::vector<Case> cases = {
        {"floating point", WaveFile({FormatChunk(3, 1, 8000, 32), RiffChunk("data", Samples(8))}),
         0},
        {"fmt shorter than 16", WaveFile({shortFormat, RiffChunk("data", Samples(8))}), 0},
        {"fmt cut off", Bytes(formatOnly.begin(), formatOnly.end() - 3), 0},
        {"no channels", WaveFile({zeroChannels, RiffChunk("data", Samples(8))}), 0},
        {"no fmt", WaveFile({RiffChunk("data", Samples(8))}), 0},
        {"no data", WaveFile({FormatChunk(1, 1, 8000, 8)}), 0},
        {"data past the file, whole frames kept", WaveFile({FormatChunk(1, 1, 8000, 16), lying}),
         10},
        {"stereo frames cut", WaveFile({FormatChunk(1, 2, 8000, 16), lying}), 8},
        {"length past 4 GiB", WaveFile({FormatChunk(1, 1, 8000, 8), huge}), 6},
        {"not RIFF", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, 0},
        {"not WAVE", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}, 0},
        {"header only", WaveFile({}), 0},
        {"empty", Bytes{}, 0},
    };
    Scratch files;
    for (const Case& c : cases)
    {
        const SoundData data = ReadWav(files.Write(c.file).c_str());
        EXPECT_EQ(data.samples != nullptr, c.size != 0) << c.name;
        EXPECT_EQ(data.size, c.size) << c.name;
    }
    EXPECT_FALSE(ReadWav(files.Folder().c_str()).samples);

    const Bytes good = WaveFile({FormatChunk(1, 2, 8000, 16), RiffChunk("data", Samples(40))});
    for (size_t length = 0; length < good.size(); ++length)
    {
        const SoundData data =
            ReadWav(files.Write(Bytes(good.begin(), good.begin() + long(length))).c_str());
        const size_t present = length > 44 ? length - 44 : 0;
        EXPECT_EQ(data.size, present - present % 4) << length;
    }
}
