#include "song/CTrack.h"

CRing::Counter CTrack::s_serialCounter { 0 };

CTrack::CTrack()
{
    CRing::Init(this, s_serialCounter);
}

CTrack::~CTrack()
{
    CRing::Clear(m_firstEvent);
    CRing::Unlink(this);
}

CMidiEvent* CTrack::AddEvent(DWORD delta, BYTE status, BYTE data1, BYTE data2, BYTE spare, BYTE metaType,
    DWORD length, BYTE* payload)
{
    auto* event = new CMidiEvent;
    bool first = m_firstEvent == nullptr;
    CRing::Append(m_firstEvent, event);
    event->m_delta = delta;
    event->m_status = status;
    event->m_data1 = data1;
    event->m_data2 = data2;
    event->m_spare = spare;
    event->m_metaType = metaType;
    event->m_payloadLength = length;
    event->m_payload = payload;
    event->m_tick = first ? static_cast<LONGLONG>(delta) : event->m_prev->m_tick + static_cast<LONGLONG>(delta);
    return event;
}

LONGLONG CTrack::GetLastTick() const
{
    return m_firstEvent ? m_firstEvent->m_prev->m_tick : 0;
}
