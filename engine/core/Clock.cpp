#include "core/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace
{

uint32_t SteadyMilliseconds()
{
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    // Conversion to unsigned is modulo 2^32: exactly the wrap we want.
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

// Atomic so that a test swapping the source never races a worker's reading.
std::atomic<ClockSource> g_source{&SteadyMilliseconds};

} // namespace

uint32_t GetMilliseconds()
{
    return g_source.load()();
}

ClockSource SetClockSource(ClockSource source)
{
    return g_source.exchange(source ? source : &SteadyMilliseconds);
}

void SleepMilliseconds(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
