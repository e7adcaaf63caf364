#include "song/CTrack.h"

#include <cstring>

CRing::Counter CTrack::s_serialCounter { 0 };

CTrack::CTrack()
{
    CRing::Init(this, s_serialCounter);
}

CTrack::~CTrack()
{
    // The events go with their block; nothing else owns a part of them.
    CRing::Unlink(this);
}

template <typename Fn>
void CTrack::KeepCursors(Fn&& move)
{
    // The head and the play cursor keep their places in the block.
    const size_t first = m_firstEvent ? m_events.IndexOf(m_firstEvent) : 0;
    const size_t current = m_currentEvent ? m_events.IndexOf(m_currentEvent) : 0;
    move();
    if (m_firstEvent)
        m_firstEvent = m_events.At(first);
    if (m_currentEvent)
        m_currentEvent = m_events.At(current);
}

void CTrack::Reserve(size_t events, size_t payloads)
{
    KeepCursors([&] { m_events.Reserve(events, payloads); });
}

CMidiEvent* CTrack::Append(ULONGLONG delta, BYTE status, BYTE data1, BYTE data2, BYTE metaType)
{
    if (m_events.Full())
        KeepCursors([&] { m_events.Grow(); });
    CMidiEvent* event = m_events.Add();
    const bool first = m_firstEvent == nullptr;
    CRing::Append(m_firstEvent, event);
    event->m_status = status;
    event->m_data1 = data1;
    event->m_data2 = data2;
    event->m_metaType = metaType;
    event->m_tick = static_cast<LONGLONG>(delta) + (first ? 0 : event->Prev()->m_tick);
    return event;
}

CMidiEvent* CTrack::AddEvent(DWORD delta, BYTE status, BYTE data1, BYTE data2, BYTE metaType, const BYTE* payload,
    DWORD length)
{
    CMidiEvent* event = Append(delta, status, data1, data2, metaType);
    m_events.SetPayload(payload, length, TRUE);
    return event;
}

CMidiEvent* CTrack::AddSharedEvent(ULONGLONG delta, BYTE status, BYTE data1, BYTE data2, BYTE metaType,
    const BYTE* payload, DWORD length)
{
    CMidiEvent* event = Append(delta, status, data1, data2, metaType);
    m_events.SetPayload(payload, length, FALSE);
    return event;
}

LONGLONG CTrack::GetLastTick() const
{
    return m_firstEvent ? m_firstEvent->Prev()->m_tick : 0;
}

std::string CTrack::TextBytes(const CMidiEvent* event, size_t& hint) const
{
    const CMidiPayload payload = Payload(event, &hint);
    if (!payload.bytes)
        return std::string();
    const void* zero = std::memchr(payload.bytes, 0, payload.length);
    const size_t length = zero ? static_cast<size_t>(static_cast<const BYTE*>(zero) - payload.bytes) : payload.length;
    return std::string(reinterpret_cast<const char*>(payload.bytes), length);
}
