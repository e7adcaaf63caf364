#include "song/CMidiEvent.h"

CRing::Counter CMidiEvent::s_serialCounter { 0 };

static_assert(sizeof(CMidiEvent) == 24, "the event record is kept small: songs hold millions");

CMidiEvent::CMidiEvent()
    : m_serial(s_serialCounter.fetch_add(1, std::memory_order_relaxed))
{
}

CMidiEvent::CMidiEvent(std::int32_t serial)
    : m_serial(serial)
{
}

CMidiEvent::CMidiEvent(const CMidiEvent& from, Relocation)
    : m_tick(from.m_tick)
    , m_serial(from.m_serial)
    , m_status(from.m_status)
    , m_data1(from.m_data1)
    , m_data2(from.m_data2)
    , m_metaType(from.m_metaType)
    , m_nextOffset(from.m_nextOffset)
    , m_prevOffset(from.m_prevOffset)
{
}
