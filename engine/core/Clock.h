// The engine's millisecond clock and sleep, used for frame pacing and timers.
// Readings are a monotonic 32-bit count that wraps after about 49.7 days, so
// callers compare them by unsigned difference. Tests swap in a fake source.
#pragma once

#include <cstdint>

using ClockSource = uint32_t (*)();

// Milliseconds from the current source; the default one counts on
// std::chrono::steady_clock from an unspecified origin.
uint32_t GetMilliseconds();

// Makes `source` the clock and returns the one it replaces (never null, so
// it can be handed back to restore it); nullptr selects the default clock.
// Meant for set-up and tests, before other threads read the clock.
ClockSource SetClockSource(ClockSource source);

// Blocks the calling thread for at least `ms` milliseconds.
void SleepMilliseconds(uint32_t ms);
