#pragma once

#include "platform/core/WinTypes.h"
#include "song/CMidiEvent.h"

#include <memory>
#include <vector>

// The events of one track in one block, and the payloads of those that
// carry one. The loader counts a chunk's events before it reads them, so a
// loaded track takes one block of exactly its size and one table of its
// payloads, however many events it holds. A track built event by event
// grows its block by doubling, which moves the events as a vector's
// elements move; their ring links are distances within the block, so the
// ring stays whole.
class CEventStore {
public:
    CEventStore() = default;
    ~CEventStore();
    CEventStore(const CEventStore&) = delete;
    CEventStore& operator=(const CEventStore&) = delete;

    // Room for this many events and payloads in all, the events' serial
    // numbers taken at once. Moves the events when the block grows.
    void Reserve(size_t events, size_t payloads);
    // Room for twice as many events as there are (at least 16); moves them.
    void Grow();
    // TRUE when there is no room for another event.
    BOOL Full() const { return m_count == m_capacity ? TRUE : FALSE; }
    // A new lone event after the others in the block, which must have room
    // for it.
    CMidiEvent* Add();
    // Records the payload of the event last added. The bytes must outlive
    // the store unless own is set, which keeps a copy.
    void SetPayload(const BYTE* bytes, DWORD length, BOOL own);
    // The event's payload. Looking up events in block order is quickest
    // with a hint (start it at 0) that each lookup moves on.
    CMidiPayload Payload(const CMidiEvent* event, size_t* hint = nullptr) const;

    // The place of an event in the block, and the event at a place.
    size_t IndexOf(const CMidiEvent* event) const { return static_cast<size_t>(event - m_events); }
    CMidiEvent* At(size_t index) const { return m_events + index; }
    // TRUE for an event of this block.
    BOOL Holds(const CMidiEvent* event) const;

private:
    struct PayloadRef {
        DWORD index;
        DWORD length;
        const BYTE* bytes;
    };

    void Resize(size_t capacity);
    void Release();

    CMidiEvent* m_events { nullptr };
    size_t m_count { 0 };
    size_t m_capacity { 0 };
    // Serial numbers taken for the events to come: the next one, and how
    // many are left. Taking one at a time would cost an atomic operation
    // for each of millions of events.
    std::int32_t m_nextSerial { 0 };
    size_t m_serials { 0 };
    std::vector<PayloadRef> m_payloads;
    // Copies of the payloads of events added one by one.
    std::vector<std::unique_ptr<BYTE[]>> m_copies;
};
