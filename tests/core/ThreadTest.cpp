// Tests of CThread and CMonitor: joining on restart, waiting with and without
// blocking, many short runs, a thread object dropped without a wait, and the
// recursive lock. Meant to run clean under ThreadSanitizer too.
#include "core/Thread.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace
{

using namespace std::chrono_literals;

// Counts its runs and how many overlap; a closed gate holds every run inside
// Run until the test opens it.
struct Gauge
{
    std::atomic<bool> open{true};
    std::atomic<int> started{0};
    std::atomic<int> finished{0};
    std::atomic<int> running{0};
    std::atomic<int> mostRunning{0};
};

class Worker : public CThread
{
public:
    explicit Worker(Gauge& gauge) : m_gauge(gauge) {}

    void Run() override
    {
        Gauge& gauge = m_gauge;
        ++gauge.started;
        const int now = ++gauge.running;
        int most = gauge.mostRunning.load();
        while (now > most && !gauge.mostRunning.compare_exchange_weak(most, now))
        {
        }
        while (!gauge.open)
            std::this_thread::sleep_for(1ms);
        --gauge.running;
        // Last touch of anything shared: a test may let go of a run and
        // destroy the object as soon as it sees this.
        ++gauge.finished;
    }

private:
    Gauge& m_gauge;
};

bool WaitFor(const std::atomic<int>& counter, int value)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (counter.load() < value)
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

} // namespace

TEST(Thread, WaitOnANeverStartedThreadReturnsAtOnce)
{
    Gauge gauge;
    Worker worker(gauge);
    worker.Wait(true);
    EXPECT_FALSE(worker.IsActive());
    EXPECT_EQ(worker.GetHandle(), nullptr);
    worker.Wait(false);
    EXPECT_EQ(worker.GetHandle(), nullptr);
    EXPECT_EQ(gauge.started, 0);
}

TEST(Thread, StartingAgainJoinsTheRunningRunFirst)
{
    Gauge gauge;
    gauge.open = false;
    Worker worker(gauge);
    CThread::Handle first = worker.Start();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(worker.GetHandle(), first);
    EXPECT_TRUE(worker.IsActive());

    std::thread opener(
        [&]
        {
            std::this_thread::sleep_for(50ms);
            gauge.open = true;
        });
    EXPECT_NE(worker.Start(), nullptr);
    EXPECT_GE(gauge.finished, 1) << "the second Start returned before the first run ended";
    EXPECT_TRUE(worker.IsActive());
    worker.Wait(true);
    opener.join();

    EXPECT_EQ(gauge.finished, 2);
    EXPECT_EQ(gauge.mostRunning, 1) << "two runs overlapped";
    EXPECT_FALSE(worker.IsActive());
    EXPECT_EQ(worker.GetHandle(), nullptr);
}

TEST(Thread, ManyShortRunsEachRunOnceAndNeverOverlap)
{
    Gauge gauge;
    Worker worker(gauge);
    for (int i = 1; i <= 200; ++i)
    {
        ASSERT_NE(worker.Start(), nullptr);
        worker.Wait(true);
        ASSERT_EQ(gauge.finished, i) << "Wait(true) returned before the run ended";
    }
    // Back to back without waits: every Start joins the run before it.
    for (int i = 0; i < 200; ++i)
        ASSERT_NE(worker.Start(), nullptr);
    worker.Wait(true);
    EXPECT_EQ(gauge.finished, 400);
    EXPECT_EQ(gauge.mostRunning, 1);
}

TEST(Thread, WaitWithoutBlockingLetsTheRunFinishOnItsOwn)
{
    Gauge gauge;
    gauge.open = false;
    Worker worker(gauge);
    ASSERT_NE(worker.Start(), nullptr);
    ASSERT_TRUE(WaitFor(gauge.started, 1));

    worker.Wait(false);
    EXPECT_FALSE(worker.IsActive());
    EXPECT_EQ(worker.GetHandle(), nullptr);
    EXPECT_EQ(gauge.finished, 0);

    gauge.open = true;
    ASSERT_TRUE(WaitFor(gauge.finished, 1));
}

TEST(Thread, DestroyingAnUnwaitedThreadLetsTheRunGo)
{
    Gauge gauge;
    gauge.open = false;
    {
        Worker worker(gauge);
        ASSERT_NE(worker.Start(), nullptr);
        // Run no longer reads the object once it is going, so the object may die.
        ASSERT_TRUE(WaitFor(gauge.started, 1));
    }
    gauge.open = true;
    ASSERT_TRUE(WaitFor(gauge.finished, 1));
}

TEST(Monitor, IsRecursiveAndExcludesOtherThreads)
{
    CMonitor monitor;
    std::atomic<bool> entered{false};
    monitor.Lock();
    monitor.Lock();
    std::thread other(
        [&]
        {
            monitor.Lock();
            entered = true;
            monitor.Unlock();
        });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(entered);
    monitor.Unlock();
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(entered) << "one of two recursive locks is still held";
    monitor.Unlock();
    other.join();
    EXPECT_TRUE(entered);
}
