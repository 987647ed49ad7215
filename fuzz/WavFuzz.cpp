// WAV files into a sound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzFile.h"
#include "assets/Sound.h"
#include "assets/WavReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    SoundData read = ReadWav(file.Put(data, size).c_str());
    if (read.size > size)
        std::abort();
    if (read.samples && read.size > 0)
    {
        volatile uint8_t last = read.samples[read.size - 1];
        (void)last;
    }
    CSound sound;
    sound.Adopt(std::move(read));
    (void)sound.GetDuration();
    return 0;
}
