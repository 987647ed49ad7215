#include "core/RegularFile.h"

#include <algorithm>
#include <cstdint>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/String.h"

UniqueFile OpenRegularFile(const String& path, uint64_t limit)
{
    // Non-blocking, so that a FIFO cannot hold the open up waiting for a
    // writer; on a regular file the flag changes nothing.
    const int descriptor = open(path.GetText(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat info;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<uint64_t>(info.st_size) > limit)
    {
        close(descriptor);
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, "rb");
    if (!file)
        close(descriptor);
    return UniqueFile(file);
}

bool ReadRegularFile(const String& path, std::vector<uint8_t>& bytes, uint64_t limit)
{
    bytes.clear();
    // Keeps the count of one byte past the limit from wrapping.
    limit = std::min<uint64_t>(limit, SIZE_MAX / 2);
    UniqueFile file = OpenRegularFile(path, limit);
    if (!file)
        return false;
    // The size only reserves room: the file may change while it is read, so
    // reading runs to its end, one byte past the limit at most.
    struct stat info;
    if (fstat(fileno(file.get()), &info) == 0)
        bytes.reserve(static_cast<size_t>(info.st_size));
    constexpr size_t kBlock = 64 * 1024;
    for (;;)
    {
        const size_t used = bytes.size();
        const uint64_t room = limit + 1 - used;
        const size_t want = room < kBlock ? static_cast<size_t>(room) : kBlock;
        bytes.resize(used + want);
        const size_t got = std::fread(bytes.data() + used, 1, want, file.get());
        bytes.resize(used + got);
        if (bytes.size() > limit || std::ferror(file.get()))
        {
            std::vector<uint8_t>().swap(bytes);
            return false;
        }
        if (got < want)
            return true;
    }
}
