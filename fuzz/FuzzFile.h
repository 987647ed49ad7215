// Hands the fuzzer's bytes to readers that take a path. The bytes go into a
// memory file named through /proc/self/fd, so no disk is touched between
// runs; a link in a private folder gives them a chosen name where a reader
// picks its format by the name's ending or opens a fixed name.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <sys/mman.h>
#include <unistd.h>

namespace fuzz
{

class MemoryFile
{
public:
    MemoryFile()
    {
        m_fd = memfd_create("vemmo-fuzz", MFD_CLOEXEC);
        if (m_fd < 0)
            std::abort();
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }

    // Replaces the contents; the path stays the same.
    const std::string& Put(const uint8_t* data, size_t size)
    {
        if (ftruncate(m_fd, 0) != 0)
            std::abort();
        size_t done = 0;
        while (done < size)
        {
            const ssize_t wrote = pwrite(m_fd, data + done, size - done, off_t(done));
            if (wrote <= 0)
                std::abort();
            done += size_t(wrote);
        }
        return m_path;
    }

    const std::string& Path() const { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
};

// A fresh folder under the temporary directory for the links; it lives as
// long as the process.
inline const std::string& PrivateFolder()
{
    static const std::string folder = []
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vemmo-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    return folder;
}

// Links `name` in the private folder to the file and gives the link's path.
inline std::string LinkAs(const MemoryFile& file, const std::string& name)
{
    const std::string link = PrivateFolder() + "/" + name;
    unlink(link.c_str());
    if (symlink(file.Path().c_str(), link.c_str()) != 0)
        std::abort();
    return link;
}

// Splits the input at the first line "#--\n": the main file before it and
// a second file (a material library) after it.
inline size_t SplitPoint(const uint8_t* data, size_t size, size_t& secondStart)
{
    static const char kMark[] = "\n#--\n";
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t at = text.find(kMark);
    if (at == std::string_view::npos)
    {
        secondStart = size;
        return size;
    }
    secondStart = at + sizeof kMark - 1;
    return at + 1;
}

} // namespace fuzz
