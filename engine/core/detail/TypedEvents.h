// The typed half of the signal templates behind CEvent, CSignal and CSlot:
// one virtual Invoke per arity, the emitting signal, the slot that calls a
// member or free function, and the argument-list arithmetic that turns
// trailing EventParam::null placeholders into nothing.
#pragma once

#include <type_traits>
#include <utility>

#include "core/detail/EventBase.h"

// The placeholder itself is public, in Signal.h.
namespace EventParam
{
struct null;
} // namespace EventParam

namespace core_detail
{

// Only the invoke of the instantiation's own arity can ever be called, so each
// event carries one virtual Invoke taking exactly its non-placeholder arguments.
template <typename... Args>
class Event : public EventBase
{
public:
    // False for null, for this event itself and for a peer already connected.
    bool Connect(Event* other) { return ConnectPeer(other); }
    // False when `other` is not connected.
    bool Disconnect(Event* other) { return DisconnectPeer(other); }
    void DisconnectAll() { DisconnectAllPeers(); }
    bool IsConnected(const Event* other) const { return HoldsPeer(other); }

    virtual void Invoke(Args...) {}
};

template <typename Base, typename... Args>
class Signal : public Base
{
public:
    // Calls every peer in connection order; reference arguments are shared, so
    // later handlers see what earlier ones wrote through them. A peer removed
    // before its turn is skipped; one connected meanwhile waits for the next
    // emission.
    void Emit(Args... args)
    {
        this->ForEachPeer([&](EventBase* peer)
                          { static_cast<Event<Args...>*>(peer)->Invoke(args...); });
    }
};

template <typename Base, typename Owner, typename... Args>
class Slot : public Base
{
public:
    using MemberFunction = void (Owner::*)(Args...);
    using FreeFunction = void (*)(Args...);

    Slot() = default;
    Slot(Owner* owner, MemberFunction function) : m_owner(owner), m_member(function) {}
    explicit Slot(FreeFunction function) : m_free(function) {}

    void Bind(Owner* owner, MemberFunction function)
    {
        m_owner = owner;
        m_member = function;
    }
    void Bind(FreeFunction function) { m_free = function; }

    // The member function wins when both it and the owner are set; with
    // neither it nor a free function the slot does nothing.
    void Invoke(Args... args) override
    {
        // Nothing may touch `this` after the call: the handler is allowed to
        // destroy this slot's owner and with it this slot.
        if (m_owner && m_member)
            (m_owner->*m_member)(std::forward<Args>(args)...);
        else if (m_free)
            m_free(std::forward<Args>(args)...);
    }

private:
    Owner* m_owner = nullptr;
    MemberFunction m_member = nullptr;
    FreeFunction m_free = nullptr;
};

template <typename... T>
struct TypeList
{
    using EventType = Event<T...>;
    template <typename Base>
    using SignalType = Signal<Base, T...>;
    template <typename Base, typename Owner>
    using SlotType = Slot<Base, Owner, T...>;
};

template <typename T, typename List>
struct Prepend;
template <typename T, typename... U>
struct Prepend<T, TypeList<U...>>
{
    using type = TypeList<T, U...>;
};

// The argument list up to the first placeholder.
template <typename... A>
struct Arguments
{
    using type = TypeList<>;
};
template <typename First, typename... Rest>
struct Arguments<First, Rest...>
{
    using type = typename Prepend<First, typename Arguments<Rest...>::type>::type;
};
template <typename... Rest>
struct Arguments<EventParam::null, Rest...>
{
    static_assert((std::is_same_v<Rest, EventParam::null> && ...),
                  "EventParam::null may only fill trailing positions");
    using type = TypeList<>;
};

template <typename A1, typename A2, typename A3, typename A4, typename A5>
using ArgumentsOf = typename Arguments<A1, A2, A3, A4, A5>::type;

} // namespace core_detail
