#include "song/MetaEvents.h"

#include "song/CRing.h"
#include "song/CTrack.h"

#include <algorithm>

std::vector<CMetaEvent> CollectMetaEvents(const CTrack* tracks, BYTE metaType, DWORD minLength)
{
    std::vector<CMetaEvent> events;
    CRing::ForEach(tracks, [&](const CTrack* track) {
        size_t hint = 0;
        CRing::ForEach(track->m_firstEvent, [&](const CMidiEvent* event) {
            if (event->m_status != 0xFF)
                return;
            const CMidiPayload payload = track->Payload(event, &hint);
            if (event->m_metaType == metaType && payload.bytes && payload.length >= minLength)
                events.push_back(CMetaEvent { event, payload });
        });
    });
    std::stable_sort(events.begin(), events.end(),
        [](const CMetaEvent& a, const CMetaEvent& b) { return a.event->m_tick < b.event->m_tick; });
    return events;
}
