#include "core/Thread.h"

#include <cassert>
#include <system_error>

CThread::~CThread()
{
    // A std::thread destroyed while joinable ends the process; a run the
    // owner forgot to wait for is let go instead.
    m_active = false;
    Release(false);
}

CThread::Handle CThread::Start()
{
    Release(m_active.exchange(false));
    try
    {
        m_thread = std::thread([this] { Run(); });
    }
    catch (const std::system_error&)
    {
        return nullptr;
    }
    m_active = true;
    return &m_thread;
}

void CThread::Wait(bool block)
{
    m_active = false;
    Release(block);
}

void CThread::Release(bool join)
{
    if (!m_thread.joinable())
        return;
    // Joining oneself would throw; a Run that restarts or waits for its own
    // object can only let the current run go.
    const bool self = m_thread.get_id() == std::this_thread::get_id();
    assert(!(join && self) && "CThread::Release(): a thread cannot wait for itself");
    if (join && !self)
        m_thread.join();
    else
        m_thread.detach();
}
