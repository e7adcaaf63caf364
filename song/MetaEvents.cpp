#include "song/MetaEvents.h"

#include "song/CRing.h"
#include "song/CTrack.h"

#include <algorithm>

std::vector<const CMidiEvent*> CollectMetaEvents(const CTrack* tracks, BYTE metaType, DWORD minLength)
{
    std::vector<const CMidiEvent*> events;
    CRing::ForEach(tracks, [&](const CTrack* track) {
        CRing::ForEach(track->m_firstEvent, [&](const CMidiEvent* event) {
            if (event->m_status == 0xFF && event->m_metaType == metaType && event->m_payload
                && event->m_payloadLength >= minLength)
                events.push_back(event);
        });
    });
    std::stable_sort(events.begin(), events.end(),
        [](const CMidiEvent* a, const CMidiEvent* b) { return a->m_tick < b->m_tick; });
    return events;
}
