#include "song/CMeterMap.h"

#include "song/CMidiEvent.h"
#include "song/MetaEvents.h"

#include <algorithm>
#include <cstdint>

namespace {

// Ticks of one beat: the quarter note's ticks x 4 / the denominator, at
// least one tick even for notes shorter than the file's resolution.
LONGLONG BeatTicks(LONGLONG ppqn, BYTE denominatorPower)
{
    if (denominatorPower > 40)
        return 1;
    return std::max<LONGLONG>(1, (4 * ppqn) >> denominatorPower);
}

}

CMeterMap::CMeterMap(LONGLONG ppqn)
{
    Reset(ppqn);
}

void CMeterMap::Reset(LONGLONG ppqn)
{
    m_ppqn = ppqn > 0 ? ppqn : 384;
    m_segments.assign(1, Segment { 0, 0, m_ppqn, 4 });
}

void CMeterMap::CountSeconds(LONGLONG ticksPerSecond)
{
    Reset(ticksPerSecond);
    m_segments.front().beatsPerBar = 1;
}

void CMeterMap::Build(const CTrack* tracks, LONGLONG ppqn)
{
    Reset(ppqn);
    // At most a segment a signature: room for them all at once.
    m_segments.reserve(1 + ForEachMetaEvent(tracks, 0x58, 4, {}));
    bool first = true;
    // Tick of the signature that set the last segment.
    LONGLONG setAt = 0;
    ForEachMetaEvent(tracks, 0x58, 4, [&](const CMidiEvent* event, const CMidiPayload& payload) {
        const BYTE numerator = payload.bytes[0];
        // A bar without beats cannot be counted; such a signature sets nothing.
        if (numerator == 0)
            return;
        const LONGLONG beatTicks = BeatTicks(m_ppqn, payload.bytes[1]);
        Segment& last = m_segments.back();
        if (first || event->m_tick == setAt) {
            last.beatTicks = beatTicks;
            last.beatsPerBar = numerator;
        } else if (beatTicks != last.beatTicks || numerator != last.beatsPerBar) {
            // A bar cut short by the change still counts as a bar.
            const LONGLONG barTicks = last.beatTicks * last.beatsPerBar;
            const LONGLONG bars = (event->m_tick - last.tick + barTicks - 1) / barTicks;
            m_segments.push_back(Segment { event->m_tick, last.bar + bars, beatTicks, numerator });
        }
        first = false;
        setAt = event->m_tick;
    });
}

const CMeterMap::Segment& CMeterMap::SegmentAt(LONGLONG tick) const
{
    return SegmentAtTick(m_segments, tick);
}

CMeterMap::Position CMeterMap::At(LONGLONG tick) const
{
    tick = std::max<LONGLONG>(tick, 0);
    const Segment& segment = SegmentAt(tick);
    const LONGLONG offset = tick - segment.tick;
    const LONGLONG barTicks = segment.beatTicks * segment.beatsPerBar;
    const LONGLONG inBar = offset % barTicks;
    return Position { segment.bar + offset / barTicks, inBar / segment.beatTicks, inBar % segment.beatTicks };
}

LONGLONG CMeterMap::BeatStart(LONGLONG tick) const
{
    tick = std::max<LONGLONG>(tick, 0);
    const Segment& segment = SegmentAt(tick);
    return tick - (tick - segment.tick) % segment.beatTicks;
}

LONGLONG CMeterMap::NextBeatStart(LONGLONG tick) const
{
    tick = std::max<LONGLONG>(tick, 0);
    const Segment& segment = SegmentAt(tick);
    const LONGLONG next = BeatStart(tick) + segment.beatTicks;
    // A new signature that starts before that beat ends the beat early.
    auto following = std::upper_bound(m_segments.begin(), m_segments.end(), tick,
        [](LONGLONG t, const Segment& s) { return t < s.tick; });
    return following != m_segments.end() && following->tick < next ? following->tick : next;
}

const CMeterMap::Segment& CMeterMap::SegmentOfBar(LONGLONG bar, LONGLONG* nextTick) const
{
    auto after = std::upper_bound(m_segments.begin(), m_segments.end(), bar,
        [](LONGLONG b, const Segment& segment) { return b < segment.bar; });
    const auto found = after == m_segments.begin() ? m_segments.begin() : after - 1;
    *nextTick = found + 1 == m_segments.end() ? INT64_MAX : (found + 1)->tick;
    return *found;
}

LONGLONG CMeterMap::TickOf(LONGLONG bar, LONGLONG beat) const
{
    LONGLONG nextTick = 0;
    const Segment& segment = SegmentOfBar(std::max<LONGLONG>(bar, 0), &nextTick);
    const LONGLONG bars = std::max<LONGLONG>(bar, 0) - segment.bar;
    const LONGLONG beats = std::clamp<LONGLONG>(beat, 0, segment.beatsPerBar - 1);
    const LONGLONG barTicks = segment.beatTicks * segment.beatsPerBar;
    // Far beyond any song the product would overflow: the position saturates.
    if (bars > (INT64_MAX - segment.tick) / barTicks - 1)
        return std::min(nextTick, INT64_MAX);
    return std::min(segment.tick + bars * barTicks + beats * segment.beatTicks, nextTick);
}

bool CMeterMap::IsCompound(LONGLONG tick) const
{
    const Segment& segment = SegmentAt(std::max<LONGLONG>(tick, 0));
    return segment.beatTicks * 2 == m_ppqn && segment.beatsPerBar % 3 == 0 && segment.beatsPerBar >= 6
        && segment.beatsPerBar <= 12;
}

LONGLONG CMeterMap::BeatsInBar(LONGLONG bar) const
{
    LONGLONG nextTick = 0;
    return SegmentOfBar(std::max<LONGLONG>(bar, 0), &nextTick).beatsPerBar;
}

LONGLONG CMeterMap::StepBars(LONGLONG tick, LONGLONG bars) const
{
    const Position at = At(tick);
    return TickOf(std::max<LONGLONG>(at.bar + bars, 0), at.beat);
}

LONGLONG CMeterMap::StepBeats(LONGLONG tick, LONGLONG beats) const
{
    LONGLONG result = BeatStart(tick);
    for (; beats > 0; --beats)
        result = NextBeatStart(result);
    for (; beats < 0 && result > 0; ++beats)
        result = BeatStart(result - 1);
    return result;
}
