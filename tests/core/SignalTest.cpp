// Tests of signals and slots: connection rules, emission order, handlers that
// rearrange or destroy peers mid-emission, symmetric clean-up when either side
// dies, and delivery for every argument list the system uses.
#include "core/Signal.h"

#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/String.h"

namespace
{

using Hook = std::function<void(int)>;

// Logs its id when called, then runs the test's hook. The hook may destroy
// this very object, so nothing after it touches `this`.
struct Receiver
{
    Receiver(std::vector<int>& log, int id, const Hook* hook = nullptr)
        : m_log(log), m_id(id), m_hook(hook)
    {
    }

    void On()
    {
        m_log.push_back(m_id);
        if (m_hook)
            (*m_hook)(m_id);
    }

    std::vector<int>& m_log;
    int m_id;
    const Hook* m_hook;
    Connections m_connections;
};

std::unique_ptr<Receiver> Listen(CSignal<>& signal, std::vector<int>& log, int id,
                                 const Hook* hook = nullptr)
{
    auto receiver = std::make_unique<Receiver>(log, id, hook);
    ConnectSlot(receiver->m_connections, signal, receiver.get(), &Receiver::On);
    return receiver;
}

int g_freeCalls = 0;
void CountFreeCall()
{
    ++g_freeCalls;
}

enum class SizeKind
{
    Restored,
    Minimized,
    Maximized
};

struct Record
{
    int key = 0;
    bool operator==(const Record& other) const { return key == other.key; }
};

template <typename... A>
struct Catcher
{
    void On(A... args)
    {
        ++calls;
        values = std::tuple<std::decay_t<A>...>(args...);
    }
    int calls = 0;
    std::tuple<std::decay_t<A>...> values;
};

template <typename... A, typename... V>
void ExpectDelivered(V&&... values)
{
    CSignal<A...> signal;
    Catcher<A...> catcher;
    Connections connections;
    ConnectSlot(connections, signal, &catcher, &Catcher<A...>::On);
    signal.Emit(values...);
    EXPECT_EQ(catcher.calls, 1);
    EXPECT_TRUE(catcher.values == std::make_tuple(values...));
}

struct Raise
{
    void On(Record& record) { record.key += 1; }
    void Double(Record& record) { record.key *= 2; }
};

} // namespace

TEST(Signal, ConnectRefusesNullSelfAndDuplicates)
{
    std::vector<int> log;
    Receiver receiver(log, 1);
    CSignal<> signal;
    CSlot<Receiver> slot(&receiver, &Receiver::On);

    EXPECT_FALSE(signal.Connect(&signal));
    EXPECT_FALSE(slot.Connect(&slot));
    EXPECT_FALSE(signal.Connect(nullptr));
    EXPECT_TRUE(slot.Connect(&signal));
    EXPECT_FALSE(slot.Connect(&signal));
    EXPECT_FALSE(signal.Connect(&slot)) << "the link is symmetric";
    EXPECT_EQ(signal.GetPeerCount(), 1u);
    EXPECT_EQ(slot.GetPeerCount(), 1u);
    EXPECT_TRUE(signal.IsConnected(&slot));
    EXPECT_TRUE(slot.IsConnected(&signal));

    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{1}));

    EXPECT_TRUE(signal.Disconnect(&slot));
    EXPECT_FALSE(signal.Disconnect(&slot));
    EXPECT_FALSE(slot.Disconnect(&signal));
    EXPECT_EQ(signal.GetPeerCount(), 0u);
    EXPECT_EQ(slot.GetPeerCount(), 0u);
    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{1}));
}

TEST(Signal, EmitsInConnectionOrder)
{
    std::vector<int> log;
    CSignal<> signal;
    CSlot<Receiver> a, b, c;
    Receiver ra(log, 1), rb(log, 2), rc(log, 3);
    a.Bind(&ra, &Receiver::On);
    b.Bind(&rb, &Receiver::On);
    c.Bind(&rc, &Receiver::On);
    a.Connect(&signal);
    signal.Connect(&b); // either side may start the link
    c.Connect(&signal);
    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));

    log.clear();
    b.Disconnect(&signal);
    b.Connect(&signal);
    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{1, 3, 2}));
}

TEST(Signal, HandlerThatDisconnectsItselfLetsTheEmissionContinue)
{
    std::vector<int> log;
    CSignal<> signal;
    std::unique_ptr<Receiver> first, second;
    const Hook hook = [&](int) { first->m_connections.Clear(); };
    first = Listen(signal, log, 1, &hook);
    second = Listen(signal, log, 2);

    signal.Emit();
    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(signal.GetPeerCount(), 1u);
}

TEST(Signal, PeersDestroyedDuringEmissionAreNeverCalled)
{
    std::vector<int> log;
    CSignal<> signal;
    std::unique_ptr<Receiver> r[4];
    // Receiver 1 destroys an earlier and a later peer, then on the second
    // emission its own owner, whose slot is the one running.
    const Hook hook = [&](int)
    {
        if (r[0])
        {
            r[0].reset();
            r[3].reset();
        }
        else
            r[1].reset();
    };
    for (int i = 0; i < 4; ++i)
        r[i] = Listen(signal, log, i, i == 1 ? &hook : nullptr);

    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(signal.GetPeerCount(), 2u);

    log.clear();
    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
    EXPECT_EQ(signal.GetPeerCount(), 1u);

    log.clear();
    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{2}));
}

TEST(Signal, PeerConnectedDuringEmissionIsFirstCalledByTheNextOne)
{
    std::vector<int> log;
    CSignal<> signal;
    std::unique_ptr<Receiver> late, first;
    CSlot<Receiver>* firstSlot = nullptr;
    // Connects a newcomer once and moves itself to the end of the list.
    const Hook hook = [&](int)
    {
        if (!late)
            late = Listen(signal, log, 9);
        firstSlot->Disconnect(&signal);
        firstSlot->Connect(&signal);
    };
    first = std::make_unique<Receiver>(log, 1, &hook);
    firstSlot = ConnectSlot(first->m_connections, signal, first.get(), &Receiver::On);
    auto second = Listen(signal, log, 2);

    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
    log.clear();
    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{2, 9, 1}));
    EXPECT_EQ(signal.GetPeerCount(), 3u);
}

TEST(Signal, NestedEmissionAndDisconnectAllFromAHandler)
{
    std::vector<int> log;
    CSignal<> signal;
    std::unique_ptr<Receiver> r[3];
    // Receiver 0 re-emits once; inside that inner emission receiver 1 destroys
    // receiver 2, which neither emission may call afterwards.
    bool reemitted = false;
    const Hook reemit = [&](int)
    {
        if (!reemitted)
        {
            reemitted = true;
            signal.Emit();
        }
    };
    const Hook destroy = [&](int) { r[2].reset(); };
    r[0] = Listen(signal, log, 0, &reemit);
    r[1] = Listen(signal, log, 1, &destroy);
    r[2] = Listen(signal, log, 2);

    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(signal.GetPeerCount(), 2u);

    // A handler that cuts the signal loose stops the emission there.
    log.clear();
    const Hook cut = [&](int) { signal.DisconnectAll(); };
    auto cutter = Listen(signal, log, 7, &cut);
    r[0]->m_connections.Clear();
    r[0] = Listen(signal, log, 0);
    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{1, 7}));
    EXPECT_EQ(signal.GetPeerCount(), 0u);
    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{1, 7}));

    auto fresh = Listen(signal, log, 5);
    signal.Emit();
    EXPECT_EQ(log, (std::vector<int>{1, 7, 5}));
}

TEST(Signal, DestroyingASignalLeavesItsSlotsFreeForAnother)
{
    std::vector<int> log;
    Receiver ra(log, 1), rb(log, 2);
    CSlot<Receiver> a(&ra, &Receiver::On), b(&rb, &Receiver::On);
    auto doomed = std::make_unique<CSignal<>>();
    a.Connect(doomed.get());
    b.Connect(doomed.get());
    doomed.reset();
    EXPECT_EQ(a.GetPeerCount(), 0u);
    EXPECT_EQ(b.GetPeerCount(), 0u);

    CSignal<> later;
    EXPECT_TRUE(a.Connect(&later));
    EXPECT_TRUE(b.Connect(&later));
    later.Emit();
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
}

TEST(Signal, DestroyingAnOwnerRemovesItsSlotsFromEverySignal)
{
    std::vector<int> log;
    CSignal<> one, two;
    auto before = Listen(one, log, 0);
    auto owner = Listen(one, log, 1);
    ConnectSlot(owner->m_connections, two, owner.get(), &Receiver::On);
    auto after = Listen(one, log, 2);
    ASSERT_EQ(owner->m_connections.GetCount(), 2u);

    owner.reset();
    EXPECT_EQ(one.GetPeerCount(), 2u);
    EXPECT_EQ(two.GetPeerCount(), 0u);
    one.Emit();
    two.Emit();
    EXPECT_EQ(log, (std::vector<int>{0, 2}));
}

TEST(Slot, CallsTheMemberFunctionFirstThenTheFreeOneThenNothing)
{
    std::vector<int> log;
    Receiver receiver(log, 1);
    g_freeCalls = 0;

    CSlot<Receiver> unbound;
    unbound.Invoke();
    CSlot<Receiver> nullMember(&receiver, nullptr);
    nullMember.Invoke();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(g_freeCalls, 0);

    CSlot<Receiver> freeOnly(&CountFreeCall);
    freeOnly.Invoke();
    EXPECT_EQ(g_freeCalls, 1);

    CSlot<Receiver> noOwner(nullptr, &Receiver::On);
    noOwner.Bind(&CountFreeCall);
    noOwner.Invoke();
    EXPECT_EQ(g_freeCalls, 2);
    EXPECT_TRUE(log.empty());

    CSlot<Receiver> both(&receiver, &Receiver::On);
    both.Bind(&CountFreeCall);
    both.Invoke();
    EXPECT_EQ(g_freeCalls, 2);
    EXPECT_EQ(log, (std::vector<int>{1}));
}

TEST(Signal, DeliversEveryArgumentListInUse)
{
    Record record{42};
    Record node{7};
    String text("abc");
    ExpectDelivered<>();
    ExpectDelivered<bool>(true);
    ExpectDelivered<int, int>(-3, 4);
    ExpectDelivered<int, int, SizeKind>(800, 600, SizeKind::Maximized);
    ExpectDelivered<unsigned, int, int>(0x0201u, -1, 65535);
    ExpectDelivered<Record&>(record);
    ExpectDelivered<String&, int, int>(text, 2, -9);
    ExpectDelivered<const String&>(String("const"));
    ExpectDelivered<float, float>(1.5f, -2.25f);
    ExpectDelivered<float>(0.75f);
    ExpectDelivered<Record&, unsigned, unsigned>(node, 3u, 4000000000u);
    ExpectDelivered<int, float, bool, unsigned, char>(1, 2.5f, false, 7u, 'x');
}

TEST(Signal, ReferenceArgumentsAreSharedByAllReceivers)
{
    CSignal<Record&> signal;
    Raise raise;
    Connections connections;
    ConnectSlot(connections, signal, &raise, &Raise::On);
    ConnectSlot(connections, signal, &raise, &Raise::Double);
    Record record{3};
    signal.Emit(record);
    EXPECT_EQ(record.key, 8);
}
