// Untyped half of the signal/slot templates: the symmetric peer list and the
// bookkeeping that keeps an emission safe while handlers connect, disconnect
// or destroy peers. Main thread only; nothing here locks.
#pragma once

#include <cassert>
#include <iterator>
#include <list>

namespace core_detail
{

class EventBase
{
public:
    EventBase(const EventBase&) = delete;
    EventBase& operator=(const EventBase&) = delete;

    // Destroying an event while one of its own emissions is still walking the
    // list is not supported: the emission would resume on freed memory.
    virtual ~EventBase()
    {
        assert(m_emitDepth == 0 && "CEvent::~CEvent(): destroyed during its own emission");
        DisconnectAllPeers();
    }

    unsigned GetPeerCount() const { return m_count; }

protected:
    EventBase() = default;

    bool ConnectPeer(EventBase* other)
    {
        if (!other || other == this || HoldsPeer(other))
            return false;
        Append(other);
        other->Append(this);
        return true;
    }

    bool DisconnectPeer(EventBase* other)
    {
        if (!other || !Drop(other))
            return false;
        other->Drop(this);
        return true;
    }

    void DisconnectAllPeers()
    {
        for (Node it = m_peers.begin(); it != m_peers.end();)
        {
            EventBase* peer = *it;
            it = Release(it);
            if (peer)
                peer->Drop(this);
        }
    }

    bool HoldsPeer(const EventBase* other) const
    {
        if (!other)
            return false;
        for (const EventBase* peer : m_peers)
            if (peer == other)
                return true;
        return false;
    }

    // Calls `visit` for each peer that was connected when the walk began and
    // is still connected when its turn comes. Peers connected during the walk
    // wait for the next emission: a handler that connects a fresh slot every
    // time must not be able to keep one emission going for ever.
    template <typename Visit>
    void ForEachPeer(Visit&& visit)
    {
        if (m_peers.empty())
            return;
        EmitScope scope(*this);
        const Node last = std::prev(m_peers.end());
        for (Node it = m_peers.begin();; ++it)
        {
            if (*it)
                visit(*it);
            if (it == last)
                break;
        }
    }

private:
    using Node = std::list<EventBase*>::iterator;

    // Nodes are only tombstoned while an emission walks the list, so no
    // iterator an emission holds ever dangles; the outermost one sweeps them.
    struct EmitScope
    {
        explicit EmitScope(EventBase& event) : owner(event) { ++owner.m_emitDepth; }
        ~EmitScope()
        {
            if (--owner.m_emitDepth == 0 && owner.m_hasTombstones)
            {
                owner.m_peers.remove(nullptr);
                owner.m_hasTombstones = false;
            }
        }
        EmitScope(const EmitScope&) = delete;
        EmitScope& operator=(const EmitScope&) = delete;
        EventBase& owner;
    };

    void Append(EventBase* peer)
    {
        m_peers.push_back(peer);
        ++m_count;
    }

    // Removes `peer` from this list only; the caller handles the other side.
    bool Drop(EventBase* peer)
    {
        for (Node it = m_peers.begin(); it != m_peers.end(); ++it)
            if (*it == peer)
            {
                Release(it);
                return true;
            }
        return false;
    }

    Node Release(Node it)
    {
        if (*it)
            --m_count;
        if (m_emitDepth == 0)
            return m_peers.erase(it);
        *it = nullptr;
        m_hasTombstones = true;
        return std::next(it);
    }

    std::list<EventBase*> m_peers; // null entries are tombstones
    unsigned m_count = 0;          // live peers
    unsigned m_emitDepth = 0;
    bool m_hasTombstones = false;
};

} // namespace core_detail
