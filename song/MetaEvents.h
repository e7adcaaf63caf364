#pragma once

#include "platform/core/WinTypes.h"

#include <algorithm>
#include <vector>

#include "song/CMidiEvent.h"

class CTrack;

// A meta event with its payload; both stay owned by their track.
struct CMetaEvent {
    const CMidiEvent* event;
    CMidiPayload payload;
};

// The meta events of one type in every track of the ring (null for none)
// whose payload holds at least minLength bytes, ordered by tick. Events at
// the same tick keep ring order, then file order, so the last of them is
// the one that holds from there on.
std::vector<CMetaEvent> CollectMetaEvents(const CTrack* tracks, BYTE metaType, DWORD minLength);

// The segment of a map that holds at tick: the last whose m_tick is at or
// before it (the first for earlier ticks). The segments are ordered by tick
// and there is at least one.
template <typename Segment>
const Segment& SegmentAtTick(const std::vector<Segment>& segments, LONGLONG tick)
{
    auto after = std::upper_bound(segments.begin(), segments.end(), tick,
        [](LONGLONG t, const Segment& segment) { return t < segment.tick; });
    return after == segments.begin() ? segments.front() : *(after - 1);
}
