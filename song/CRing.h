#pragma once

#include <atomic>
#include <cstdint>

// How the ring operations reach the links of a node and destroy a node: by
// default through the pointers m_next and m_prev, and with delete. A node
// class that keeps its links or its memory otherwise specialises it
// (CMidiEvent).
template <typename T>
struct CRingLinks {
    static T* Next(const T* node) { return node->m_next; }
    static T* Prev(const T* node) { return node->m_prev; }
    static void SetNext(T* node, T* next) { node->m_next = next; }
    static void SetPrev(T* node, T* prev) { node->m_prev = prev; }
    static void Destroy(T* node) { delete node; }
};

// Operations of the intrusive ring lists. Every node class declares, after
// its own fields, the four ring fields
//     T* m_next; T* m_prev; std::int32_t m_serial; std::uint16_t m_mark;
// and a per-class serial counter, and calls CRing::Init from its
// constructor and CRing::Unlink from its destructor. The owner of a ring
// holds a pointer to its first node (the head); null means empty.
//
// Serial counters are atomic because nodes of one class may be built on
// two threads (events on the user-interface thread and the metronome's
// transient messages on the player thread).
class CRing {
public:
    using Counter = std::atomic<std::int32_t>;

    template<typename T>
    static void Init(T* node, Counter& counter)
    {
        node->m_serial = counter.fetch_add(1, std::memory_order_relaxed);
        node->m_next = node;
        node->m_prev = node;
        node->m_mark = 0;
    }

    // Links a lone node directly in front of the anchor. Returns 0 and
    // changes nothing when the anchor is null, 1 otherwise.
    template<typename T>
    static int InsertBefore(T* anchor, T* node)
    {
        using L = CRingLinks<T>;
        if (!anchor)
            return 0;
        L::SetNext(node, anchor);
        L::SetPrev(node, L::Prev(anchor));
        L::SetNext(L::Prev(node), node);
        L::SetPrev(anchor, node);
        return 1;
    }

    // Takes the node out of its ring; a lone node is left as it is. The
    // node's own links are not reset.
    template<typename T>
    static void Unlink(T* node)
    {
        using L = CRingLinks<T>;
        T* prev = L::Prev(node);
        T* next = L::Next(node);
        if (prev != node && next != node) {
            L::SetNext(prev, next);
            L::SetPrev(next, prev);
        }
    }

    // Destroys the node if it belongs to the ring that starts at head and
    // returns the new head.
    template<typename T>
    static T* RemoveAndDelete(T* head, T* node)
    {
        using L = CRingLinks<T>;
        if (!head)
            return nullptr;
        if (node == head) {
            T* next = L::Next(head);
            const bool alone = next == head;
            L::Destroy(head);
            return alone ? nullptr : next;
        }
        for (T* p = L::Next(head); p != head; p = L::Next(p)) {
            if (p == node) {
                L::Destroy(p);
                return head;
            }
        }
        return head;
    }

    // Appends at the end of the ring: the node becomes the head of an empty
    // ring, otherwise it goes in front of the head.
    template<typename T>
    static void Append(T*& head, T* node)
    {
        if (!head)
            head = node;
        else
            InsertBefore(head, node);
    }

    // Destroys every node, head first, until the ring is empty.
    template<typename T>
    static void Clear(T*& head)
    {
        while (head)
            head = RemoveAndDelete(head, head);
    }

    // Calls fn on every node from the head once around. fn must not remove
    // nodes.
    template<typename T, typename Fn>
    static void ForEach(T* head, Fn&& fn)
    {
        if (!head)
            return;
        T* p = head;
        do {
            T* next = CRingLinks<T>::Next(p);
            fn(p);
            p = next;
        } while (p != head);
    }
};
