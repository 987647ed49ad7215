// Worker threads: a CThread runs its virtual Run on a new std::thread and is
// joined by Wait(true); the render job derives its workers from it. CMonitor
// holds the recursive mutex every thread object carries.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

class CMonitor
{
public:
    CMonitor() = default;
    virtual ~CMonitor() = default;
    CMonitor(const CMonitor&) = delete;
    CMonitor& operator=(const CMonitor&) = delete;

    // Recursive: the thread holding the lock may take it again.
    void Lock() { m_mutex.lock(); }
    void Unlock() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

// Start, Wait and destruction belong to the owning thread; Run executes on
// the new one. The destructor neither waits for nor stops a run: the owner
// calls Wait(true) before deleting an object whose Run may still execute.
class CThread : public CMonitor
{
public:
    // Non-null while a run is held; not owned, valid until Wait or Start.
    using Handle = const std::thread*;

    CThread() = default;
    ~CThread() override;

    // Launches Run on a new thread; a previous run still marked active is
    // joined first. Returns null when the thread cannot be created.
    Handle Start();
    // Clears the active mark and gives up the run: joins it when `block`,
    // otherwise lets it finish on its own.
    void Wait(bool block);

    // A hint for Start, set by Start and cleared by Wait; not a means of
    // synchronisation (only Wait(true) is).
    bool IsActive() const { return m_active.load(); }
    Handle GetHandle() const { return m_thread.joinable() ? &m_thread : nullptr; }

    virtual void Run() = 0;

private:
    void Release(bool join);

    std::thread m_thread;
    std::atomic<bool> m_active{false};
};
