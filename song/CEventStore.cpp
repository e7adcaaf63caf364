#include "song/CEventStore.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>

// The block is freed without running the events' destructors.
static_assert(std::is_trivially_destructible_v<CMidiEvent>);

CEventStore::~CEventStore()
{
    Release();
}

void CEventStore::Release()
{
    if (m_events)
        std::allocator<CMidiEvent>().deallocate(m_events, m_capacity);
    m_events = nullptr;
    m_count = m_capacity = 0;
}

void CEventStore::Reserve(size_t events, size_t payloads)
{
    m_payloads.reserve(payloads);
    if (events <= m_capacity)
        return;
    Resize(events);
    if (m_serials == 0) {
        m_serials = events - m_count;
        m_nextSerial = CMidiEvent::s_serialCounter.fetch_add(static_cast<std::int32_t>(m_serials),
            std::memory_order_relaxed);
    }
}

void CEventStore::Grow()
{
    Resize(std::max<size_t>(16, 2 * m_capacity));
}

void CEventStore::Resize(size_t capacity)
{
    CMidiEvent* block = std::allocator<CMidiEvent>().allocate(capacity);
    for (size_t i = 0; i < m_count; ++i)
        new (block + i) CMidiEvent(m_events[i], CMidiEvent::Relocation {});
    const size_t count = m_count;
    Release();
    m_events = block;
    m_count = count;
    m_capacity = capacity;
}

CMidiEvent* CEventStore::Add()
{
    if (m_count == m_capacity)
        throw std::length_error("no room for another event in the block");
    CMidiEvent* at = m_events + m_count++;
    if (m_serials == 0)
        return new (at) CMidiEvent;
    --m_serials;
    return new (at) CMidiEvent(m_nextSerial++);
}

void CEventStore::SetPayload(const BYTE* bytes, DWORD length, BOOL own)
{
    if (length == 0 || m_count == 0)
        return;
    if (own) {
        m_copies.emplace_back(new BYTE[length]);
        std::memcpy(m_copies.back().get(), bytes, length);
        bytes = m_copies.back().get();
    }
    m_payloads.push_back(PayloadRef { static_cast<DWORD>(m_count - 1), length, bytes });
}

BOOL CEventStore::Holds(const CMidiEvent* event) const
{
    const std::less<const CMidiEvent*> before;
    return m_events && !before(event, m_events) && before(event, m_events + m_count) ? TRUE : FALSE;
}

CMidiPayload CEventStore::Payload(const CMidiEvent* event, size_t* hint) const
{
    if (!Holds(event))
        return {};
    const DWORD index = static_cast<DWORD>(IndexOf(event));
    const size_t size = m_payloads.size();
    auto found = m_payloads.end();
    // Looked up in block order, the event's payload is the one at the hint,
    // or it has none when the hint's lies beyond it.
    if (hint && *hint <= size && (*hint == 0 || m_payloads[*hint - 1].index < index)) {
        if (*hint < size && m_payloads[*hint].index == index)
            found = m_payloads.begin() + static_cast<std::ptrdiff_t>(*hint);
        else if (*hint == size || m_payloads[*hint].index > index)
            return {};
    }
    if (found == m_payloads.end()) {
        found = std::lower_bound(m_payloads.begin(), m_payloads.end(), index,
            [](const PayloadRef& ref, DWORD i) { return ref.index < i; });
        if (found == m_payloads.end() || found->index != index)
            return {};
    }
    if (hint)
        *hint = static_cast<size_t>(found - m_payloads.begin()) + 1;
    return CMidiPayload { found->bytes, found->length };
}
