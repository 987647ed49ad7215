// Screenshots written off the frame thread: each request claims the next
// free "ScreenshotNNN.png" at once (never overwriting a file that exists)
// and a background thread encodes and writes the picture it was given,
// which it shares and never sees change. Requests are written in order;
// destruction writes what is still queued, then joins.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class CImage;

class CScreenshotWriter
{
public:
    CScreenshotWriter() = default;
    ~CScreenshotWriter();
    CScreenshotWriter(const CScreenshotWriter&) = delete;
    CScreenshotWriter& operator=(const CScreenshotWriter&) = delete;

    // The file name of screenshot n: Screenshot001.png … Screenshot999.png,
    // then Screenshot1000.png and so on.
    static std::string FileName(uint32_t n);

    // Claims the first name after `counter` whose file does not exist in
    // `folder` (created empty, so no one else takes it), advances `counter`
    // to its number and queues the picture for it. Returns the path, or an
    // empty string when nothing will be written: no picture, an empty one,
    // or no name could be claimed.
    std::string Write(std::shared_ptr<const CImage> picture, uint32_t& counter,
                      const std::string& folder = ".");
    // Blocks until every queued screenshot is on disk.
    void WaitIdle();

private:
    struct Job
    {
        std::string path;
        std::shared_ptr<const CImage> picture;
    };

    void Run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_closing = false;
    std::thread m_thread;
};
