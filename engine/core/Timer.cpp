#include "core/Timer.h"

#include "core/Clock.h"

CSignal<>& FrameTick()
{
    // Deliberately leaked: a signal that is never destroyed cannot be used
    // after its destruction by some other static's destructor.
    static CSignal<>* const signal = new CSignal<>();
    return *signal;
}

CTimer::CTimer() : m_slot(this, &CTimer::Tick) {}

void CTimer::SetInterval(uint32_t ms)
{
    m_interval = ms;
    m_due = GetMilliseconds() + m_interval;
}

bool CTimer::SetActive(bool on)
{
    m_active = on;
    if (!on)
    {
        m_slot.DisconnectAll();
        return false;
    }
    m_due = GetMilliseconds() + m_interval;
    return m_slot.Connect(&FrameTick());
}

void CTimer::Tick()
{
    if (!m_active)
        return;
    // Plain unsigned comparison, wrap-around included: a due time that has
    // wrapped past zero fires at once, a clock that has wrapped waits for it.
    if (GetMilliseconds() < m_due)
        return;
    Elapsed.Emit();
    m_due = GetMilliseconds() + m_interval;
}
