#pragma once

#include "platform/core/WinTypes.h"
#include "song/CMidiEvent.h"

#include <algorithm>
#include <functional>
#include <vector>

class CTrack;

// Calls fn on the meta events of one type in every track of the ring (null
// for none) whose payload holds at least minLength bytes, with the payload,
// in tick order. Events at the same tick come in ring order of their
// tracks, then in file order, so the last of them is the one that holds
// from there on. The tracks are walked side by side, a cursor each: a song
// of millions of such events costs no list of them. Returns how many there
// are; fn may be empty, to count them.
using MetaEventFn = std::function<void(const CMidiEvent* event, const CMidiPayload& payload)>;
size_t ForEachMetaEvent(const CTrack* tracks, BYTE metaType, DWORD minLength, const MetaEventFn& fn);

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
