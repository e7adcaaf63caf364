#include "song/CLastBends.h"

#include "song/CMidiEvent.h"

BOOL CLastBends::IsBend(const CMidiEvent* event)
{
    return (event->m_status & 0xF0) == 0xE0 ? TRUE : FALSE;
}

void CLastBends::Offer(const CMidiEvent* event)
{
    if (!IsBend(event))
        return;
    const CMidiEvent*& kept = m_kept[event->m_status & 0x0F];
    if (!kept || event->m_tick >= kept->m_tick)
        kept = event;
}

BOOL CLastBends::IsKept(const CMidiEvent* event) const
{
    return IsBend(event) && m_kept[event->m_status & 0x0F] == event ? TRUE : FALSE;
}
