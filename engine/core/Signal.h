// Typed signals and slots with up to five arguments (EventParam::null fills
// the rest); links are symmetric, dispatch synchronous, main thread only.
// Handlers may connect, disconnect or destroy any peer mid-emission (see
// Signal::Emit), but must not destroy the signal that is calling them.
#pragma once

#include <cassert>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/detail/TypedEvents.h"

namespace EventParam
{
struct null
{
};
} // namespace EventParam

template <typename A1 = EventParam::null, typename A2 = EventParam::null,
          typename A3 = EventParam::null, typename A4 = EventParam::null,
          typename A5 = EventParam::null>
class CEvent : public core_detail::ArgumentsOf<A1, A2, A3, A4, A5>::EventType
{
};

template <typename A1 = EventParam::null, typename A2 = EventParam::null,
          typename A3 = EventParam::null, typename A4 = EventParam::null,
          typename A5 = EventParam::null>
class CSignal : public core_detail::ArgumentsOf<A1, A2, A3, A4,
                                                A5>::template SignalType<CEvent<A1, A2, A3, A4, A5>>
{
};

template <typename Owner, typename A1 = EventParam::null, typename A2 = EventParam::null,
          typename A3 = EventParam::null, typename A4 = EventParam::null,
          typename A5 = EventParam::null>
class CSlot
    : public core_detail::ArgumentsOf<A1, A2, A3, A4,
                                      A5>::template SlotType<CEvent<A1, A2, A3, A4, A5>, Owner>
{
    using Base =
        typename core_detail::ArgumentsOf<A1, A2, A3, A4,
                                          A5>::template SlotType<CEvent<A1, A2, A3, A4, A5>, Owner>;

public:
    using Base::Base;
};

// The slots an object created; it owns them, and destroying or clearing the
// list deletes them in the order they were added, which disconnects each.
class Connections
{
public:
    Connections() = default;
    ~Connections() { Clear(); }
    Connections(const Connections&) = delete;
    Connections& operator=(const Connections&) = delete;

    void Add(std::unique_ptr<core_detail::EventBase> slot)
    {
        assert(slot && "Connections::Add(): null slot");
        m_slots.push_back(std::move(slot));
    }

    void Clear()
    {
        for (auto& slot : m_slots)
            slot.reset();
        m_slots.clear();
    }

    unsigned GetCount() const { return static_cast<unsigned>(m_slots.size()); }

private:
    std::vector<std::unique_ptr<core_detail::EventBase>> m_slots;
};

// Creates a slot calling `function` on `owner`, connects it to `signal` and
// hands it to `list`. The returned pointer is not owned.
template <typename Owner, typename A1, typename A2, typename A3, typename A4, typename A5>
CSlot<Owner, A1, A2, A3, A4, A5>*
ConnectSlot(Connections& list, CSignal<A1, A2, A3, A4, A5>& signal, Owner* owner,
            typename CSlot<Owner, A1, A2, A3, A4, A5>::MemberFunction function)
{
    auto slot = std::make_unique<CSlot<Owner, A1, A2, A3, A4, A5>>(owner, function);
    CSlot<Owner, A1, A2, A3, A4, A5>* raw = slot.get();
    raw->Connect(&signal);
    list.Add(std::move(slot));
    return raw;
}
