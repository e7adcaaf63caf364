#include "song/MetaEvents.h"

#include "song/CRing.h"
#include "song/CTrack.h"

#include <queue>
#include <tuple>

namespace {

// A track's next event of the kind looked for.
struct Cursor {
    const CTrack* track;
    const CMidiEvent* event;
    CMidiPayload payload;
    size_t hint;
};

// Moves the cursor to the first matching event from `from` on, up to the
// end of the ring; FALSE when there is none.
bool Seek(Cursor& cursor, const CMidiEvent* from, BYTE metaType, DWORD minLength)
{
    for (const CMidiEvent* event = from;;) {
        if (event->m_status == 0xFF && event->m_metaType == metaType) {
            cursor.payload = cursor.track->Payload(event, &cursor.hint);
            if (cursor.payload.bytes && cursor.payload.length >= minLength) {
                cursor.event = event;
                return true;
            }
        }
        event = event->Next();
        if (event == cursor.track->m_firstEvent)
            return false;
    }
}

}

size_t ForEachMetaEvent(const CTrack* tracks, BYTE metaType, DWORD minLength, const MetaEventFn& fn)
{
    std::vector<Cursor> cursors;
    CRing::ForEach(tracks, [&](const CTrack* track) {
        Cursor cursor { track, nullptr, {}, 0 };
        if (track->m_firstEvent && Seek(cursor, track->m_firstEvent, metaType, minLength))
            cursors.push_back(cursor);
    });
    // The cursor whose event comes first: the earliest tick, then the
    // earliest track.
    using Next = std::tuple<LONGLONG, size_t>;
    std::priority_queue<Next, std::vector<Next>, std::greater<Next>> order;
    for (size_t i = 0; i < cursors.size(); ++i)
        order.emplace(cursors[i].event->m_tick, i);
    size_t count = 0;
    while (!order.empty()) {
        const size_t i = std::get<1>(order.top());
        order.pop();
        Cursor& cursor = cursors[i];
        if (fn)
            fn(cursor.event, cursor.payload);
        ++count;
        const CMidiEvent* next = cursor.event->Next();
        if (next != cursor.track->m_firstEvent && Seek(cursor, next, metaType, minLength))
            order.emplace(cursor.event->m_tick, i);
    }
    return count;
}
