// The writer thread starts with the first screenshot. A file is claimed with
// O_EXCL on the frame thread, which costs one system call; the PNG encoding
// (zlib at level 9) is what must stay off it.
#include "ScreenshotWriter.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "resources/Image.h"
#include "resources/PngEncoder.h"

namespace
{

// Past this many taken names in a row something else is wrong.
constexpr uint32_t kMaxNameTries = 100000;

enum class ClaimResult
{
    Claimed,
    Taken,
    Failed,
};

ClaimResult Claim(const std::string& path)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno == EEXIST ? ClaimResult::Taken : ClaimResult::Failed;
    close(fd);
    return ClaimResult::Claimed;
}

void WriteJobFile(const std::string& path, const CImage& picture)
{
    WritePng(path.c_str(), picture.GetWidth(), picture.GetHeight(), picture.GetBits(),
             picture.GetPixels());
    // WritePng reports nothing; an empty claimed file would be a broken PNG.
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && info.st_size == 0)
        unlink(path.c_str());
}

} // namespace

CScreenshotWriter::~CScreenshotWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::string CScreenshotWriter::FileName(uint32_t n)
{
    char name[32];
    std::snprintf(name, sizeof name, "Screenshot%03u.png", n);
    return name;
}

std::string CScreenshotWriter::Write(std::shared_ptr<const CImage> picture, uint32_t& counter,
                                     const std::string& folder)
{
    if (!picture || !picture->GetPixels() || picture->GetWidth() == 0 ||
        picture->GetHeight() == 0)
        return std::string();
    std::string path;
    for (uint32_t tries = 0; tries < kMaxNameTries && counter < UINT32_MAX; ++tries)
    {
        const std::string candidate = folder + "/" + FileName(counter + 1);
        const ClaimResult claim = Claim(candidate);
        // Any failure but a taken name (a folder we may not write) would
        // fail the same way for every name.
        if (claim == ClaimResult::Failed)
            return std::string();
        ++counter;
        if (claim == ClaimResult::Claimed)
        {
            path = candidate;
            break;
        }
    }
    if (path.empty())
        return path;

    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(Job{path, std::move(picture)});
        if (!m_thread.joinable())
            m_thread = std::thread(&CScreenshotWriter::Run, this);
    }
    m_changed.notify_all();
    return path;
}

void CScreenshotWriter::WaitIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void CScreenshotWriter::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        m_changed.wait(lock, [this] { return !m_jobs.empty() || m_closing; });
        if (m_jobs.empty())
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        WriteJobFile(job.path, *job.picture);
        job.picture.reset();
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}
