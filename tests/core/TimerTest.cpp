// Tests of the frame-driven timer on a fake millisecond clock: when it fires,
// re-arming, switching off (also from its own handler), wrap-around of the
// 32-bit clock, and the clock source itself.
#include "core/Timer.h"

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "core/Clock.h"

namespace
{

uint32_t g_now = 0;
uint32_t FakeClock()
{
    return g_now;
}

class TimerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = SetClockSource(&FakeClock);
        g_now = 0;
        m_framePeers = FrameTick().GetPeerCount();
    }
    void TearDown() override
    {
        SetClockSource(m_previous);
        EXPECT_EQ(FrameTick().GetPeerCount(), m_framePeers) << "a timer stayed connected";
    }

    static void Frame(uint32_t now)
    {
        g_now = now;
        FrameTick().Emit();
    }

    ClockSource m_previous = nullptr;
    unsigned m_framePeers = 0;
};

// Counts Elapsed emissions and runs an optional action from the handler.
struct Counter
{
    explicit Counter(CTimer& timer)
    {
        ConnectSlot(m_connections, timer.Elapsed, this, &Counter::On);
    }
    void On()
    {
        ++count;
        if (action)
            action();
    }
    int count = 0;
    std::function<void()> action;
    Connections m_connections;
};

} // namespace

TEST(Clock, SourceIsReplaceableAndRestorable)
{
    const ClockSource original = SetClockSource(&FakeClock);
    ASSERT_NE(original, nullptr);
    g_now = 0xDEADBEEF;
    EXPECT_EQ(GetMilliseconds(), 0xDEADBEEFu);
    EXPECT_EQ(SetClockSource(nullptr), &FakeClock);
    EXPECT_EQ(SetClockSource(nullptr), original) << "nullptr selects the default clock";

    const uint32_t before = GetMilliseconds();
    SleepMilliseconds(20);
    const uint32_t elapsed = GetMilliseconds() - before;
    EXPECT_GE(elapsed, 20u);
    EXPECT_LT(elapsed, 5000u);
}

TEST_F(TimerTest, FiresAtTheFirstFrameAtOrAfterItsDueTime)
{
    CTimer timer;
    Counter counter(timer);
    EXPECT_FALSE(timer.IsActive());
    EXPECT_EQ(timer.GetInterval(), 1000u);
    timer.SetInterval(100);
    EXPECT_TRUE(timer.SetActive(true));
    EXPECT_EQ(FrameTick().GetPeerCount(), m_framePeers + 1);

    Frame(99);
    EXPECT_EQ(counter.count, 0);
    Frame(100);
    EXPECT_EQ(counter.count, 1);
    Frame(150);
    Frame(199);
    EXPECT_EQ(counter.count, 1);
    Frame(260);
    EXPECT_EQ(counter.count, 2);
    Frame(359);
    EXPECT_EQ(counter.count, 2) << "the period restarts from the late frame, without catching up";
}

TEST_F(TimerTest, IntervalZeroFiresEveryFrame)
{
    CTimer timer;
    Counter counter(timer);
    timer.SetInterval(0);
    timer.SetActive(true);
    for (int i = 0; i < 5; ++i)
        Frame(7);
    EXPECT_EQ(counter.count, 5);
}

TEST_F(TimerTest, ActivatingAgainConnectsOnceButRearms)
{
    CTimer timer;
    Counter counter(timer);
    timer.SetInterval(100);
    EXPECT_TRUE(timer.SetActive(true));
    g_now = 50;
    EXPECT_FALSE(timer.SetActive(true));
    EXPECT_EQ(FrameTick().GetPeerCount(), m_framePeers + 1);
    EXPECT_EQ(timer.GetDueTime(), 150u);

    Frame(120);
    EXPECT_EQ(counter.count, 0);
    Frame(150);
    EXPECT_EQ(counter.count, 1) << "one connection, one emission per frame";

    g_now = 500;
    timer.SetInterval(40);
    Frame(539);
    EXPECT_EQ(counter.count, 1);
    Frame(540);
    EXPECT_EQ(counter.count, 2);
}

TEST_F(TimerTest, InactiveTimerNeverFires)
{
    CTimer never;
    Counter neverCounter(never);
    never.SetInterval(0);
    Frame(5000);
    never.Tick();
    EXPECT_EQ(neverCounter.count, 0);

    CTimer stopped;
    Counter stoppedCounter(stopped);
    stopped.SetInterval(0);
    stopped.SetActive(true);
    EXPECT_FALSE(stopped.SetActive(false));
    EXPECT_FALSE(stopped.IsActive());
    EXPECT_EQ(FrameTick().GetPeerCount(), m_framePeers);
    Frame(6000);
    stopped.Tick();
    EXPECT_EQ(stoppedCounter.count, 0);
}

TEST_F(TimerTest, HandlersMaySwitchTheirTimerOffOrDestroyAnother)
{
    CTimer first, second;
    auto third = std::make_unique<CTimer>();
    Counter one(first), two(second), three(*third);
    for (CTimer* timer : {&first, &second, third.get()})
    {
        timer->SetInterval(0);
        timer->SetActive(true);
    }
    one.action = [&]
    {
        first.SetActive(false);
        third.reset();
    };

    Frame(1);
    Frame(2);
    EXPECT_EQ(one.count, 1);
    EXPECT_EQ(two.count, 2);
    EXPECT_EQ(three.count, 0) << "destroyed before its turn in the first frame";
    EXPECT_EQ(FrameTick().GetPeerCount(), m_framePeers + 1);
}

TEST_F(TimerTest, NextDueTimeCountsFromAfterTheEmission)
{
    CTimer timer;
    Counter counter(timer);
    timer.SetInterval(100);
    timer.SetActive(true);
    counter.action = [] { g_now += 80; }; // a slow handler
    Frame(100);
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(timer.GetDueTime(), 280u);
    Frame(279);
    EXPECT_EQ(counter.count, 1);
    Frame(280);
    EXPECT_EQ(counter.count, 2);
}

TEST_F(TimerTest, ComparesWrappedTimesAsPlainUnsignedNumbers)
{
    // The due time wraps past zero while the clock has not: fires at once.
    CTimer early;
    Counter earlyCounter(early);
    g_now = 0xFFFFFF00u;
    early.SetInterval(0x200);
    early.SetActive(true);
    EXPECT_EQ(early.GetDueTime(), 0x100u);
    Frame(0xFFFFFF01u);
    EXPECT_EQ(earlyCounter.count, 1);
    early.SetActive(false);

    // The clock wraps past zero while the due time has not: waits for the
    // clock to come round to the due time again.
    CTimer late;
    Counter lateCounter(late);
    g_now = 0xFFFFFF00u;
    late.SetInterval(0xF0);
    late.SetActive(true);
    EXPECT_EQ(late.GetDueTime(), 0xFFFFFFF0u);
    for (uint32_t now : {0xFFFFFFEFu, 0x10u, 0x7FFFFFFFu, 0xFFFFFFEFu})
        Frame(now);
    EXPECT_EQ(lateCounter.count, 0);
    Frame(0xFFFFFFF0u);
    EXPECT_EQ(lateCounter.count, 1);
}

TEST_F(TimerTest, DestroyingAnActiveTimerDisconnectsIt)
{
    auto timer = std::make_unique<CTimer>();
    timer->SetInterval(0);
    timer->SetActive(true);
    EXPECT_EQ(FrameTick().GetPeerCount(), m_framePeers + 1);
    timer.reset();
    EXPECT_EQ(FrameTick().GetPeerCount(), m_framePeers);
    Frame(1);
}
