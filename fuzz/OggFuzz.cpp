// Ogg Vorbis: the whole-file decode, then a stream that reads round its end
// twice through a small buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzFile.h"
#include "assets/OggReader.h"
#include "assets/SoundStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    const std::string& path = file.Put(data, size);
    OggReader reader;
    const SoundData all = reader.DecodeAll(path.c_str());
    if (all.samples && all.size > OggReader::kMaxDecodeBytes)
        std::abort();

    CSoundStream stream;
    if (!stream.OpenStream(path.c_str(), 10) || !stream.GetReader())
        return 0;
    std::vector<uint8_t> buffer(4096);
    for (int i = 0; i < 8; ++i)
        if (stream.GetReader()->Read(buffer.data(), uint32_t(buffer.size()), true) == 0)
            break;
    (void)stream.GetDuration();
    return 0;
}
