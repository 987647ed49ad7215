// Frame-driven millisecond timers: the application shell emits FrameTick once
// per frame, every active timer listens to it and emits Elapsed from the first
// frame at or after its due time. Timers and their handlers are main-thread only.
#pragma once

#include <cstdint>

#include "core/Signal.h"

// The global frame-tick signal. Built on first use and never destroyed, so
// timers in static objects of any translation unit may connect to it, and
// outlive it, whatever the order of static construction and destruction.
CSignal<>& FrameTick();

class CTimer
{
public:
    CTimer();
    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;

    // Stores the interval and re-arms: due = now + interval.
    void SetInterval(uint32_t ms);
    // On: re-arms and connects to FrameTick, returning false when already
    // connected (so re-activating a running timer is a restartable delay).
    // Off: disconnects from FrameTick and returns false.
    bool SetActive(bool on);
    // One frame: emits Elapsed once due, then counts the next due time from
    // after the emission so a slow handler does not make the timer catch up.
    // A handler may switch the timer off but must not destroy it.
    void Tick();

    bool IsActive() const { return m_active; }
    uint32_t GetInterval() const { return m_interval; }
    uint32_t GetDueTime() const { return m_due; }

    CSignal<> Elapsed;

private:
    bool m_active = false;
    uint32_t m_interval = 1000;
    uint32_t m_due = 0;
    CSlot<CTimer> m_slot;
};
