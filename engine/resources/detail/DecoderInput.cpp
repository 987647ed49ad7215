// File reading shared by the image decoders: whole files grown block by
// block, and fixed-size heads for the probes. Only regular files of bounded
// size are opened at all (POSIX open and fstat).
#include "resources/detail/DecoderInput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace resources_detail
{

UniqueFile OpenForReading(const char* path)
{
    if (!path)
        return nullptr;
    // Non-blocking, so that a FIFO cannot hold the open up waiting for a
    // writer (on a regular file the flag changes nothing). Devices and pipes
    // are refused: /dev/zero never ends.
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        uint64_t(status.st_size) > kMaxPictureFileBytes)
    {
        close(descriptor);
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, "rb");
    if (!file)
        close(descriptor);
    return UniqueFile(file);
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    UniqueFile file = OpenForReading(path);
    if (!file)
        return false;
    // Read in blocks rather than trusting the size: the file may change
    // while it is read, and one that grows past the bound is refused.
    constexpr size_t kBlock = 64 * 1024;
    for (;;)
    {
        const size_t used = bytes.size();
        if (used > kMaxPictureFileBytes)
            return false;
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
