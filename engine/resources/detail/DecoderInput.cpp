// File reading shared by the image decoders: whole files grown block by
// block, and fixed-size heads for the probes.
#include "resources/detail/DecoderInput.h"

namespace resources_detail
{

UniqueFile OpenForReading(const char* path)
{
    return UniqueFile(path ? std::fopen(path, "rb") : nullptr);
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    UniqueFile file = OpenForReading(path);
    if (!file)
        return false;
    // A directory opens but fails to read; a pipe has no length. Reading in
    // blocks handles both without asking for the size first.
    constexpr size_t kBlock = 64 * 1024;
    for (;;)
    {
        const size_t used = bytes.size();
        bytes.resize(used + kBlock);
        const size_t got = std::fread(bytes.data() + used, 1, kBlock, file.get());
        bytes.resize(used + got);
        if (got < kBlock)
            break;
    }
    return !std::ferror(file.get());
}

bool ReadFileHead(const char* path, uint8_t* bytes, size_t count)
{
    UniqueFile file = OpenForReading(path);
    return file && std::fread(bytes, 1, count, file.get()) == count;
}

} // namespace resources_detail
