#include "song/CTempoMap.h"

#include "song/CMidiEvent.h"
#include "song/MetaEvents.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr LONGLONG kDefaultPpqn = 384;

template <typename Wide>
LONGLONG Saturate(Wide value)
{
    if (value > static_cast<Wide>(INT64_MAX))
        return INT64_MAX;
    if (value < static_cast<Wide>(INT64_MIN))
        return INT64_MIN;
    return static_cast<LONGLONG>(value);
}

}

CTempoMap::CTempoMap()
{
    Clear();
}

void CTempoMap::Clear()
{
    Constant(DEFAULT_TEMPO);
}

void CTempoMap::Constant(LONGLONG tempo)
{
    m_segments.assign(1, Segment { 0, tempo > 0 ? tempo : DEFAULT_TEMPO, 0 });
}

void CTempoMap::Build(const CTrack* tracks)
{
    Clear();
    // At most a segment a tempo event: room for them all at once, as a song
    // may hold millions.
    m_segments.reserve(1 + ForEachMetaEvent(tracks, 0x51, 3, {}));
    bool first = true;
    // Tick of the event that set the last segment's tempo.
    LONGLONG setAt = 0;
    ForEachMetaEvent(tracks, 0x51, 3, [&](const CMidiEvent* event, const CMidiPayload& payload) {
        const BYTE* p = payload.bytes;
        const LONGLONG tempo = (static_cast<LONGLONG>(p[0]) << 16) | (p[1] << 8) | p[2];
        // A tempo of 0 would stop the clock; such an event sets nothing.
        if (tempo == 0)
            return;
        Segment& last = m_segments.back();
        if (first || event->m_tick == setAt) {
            // The first tempo holds from tick 0; a later one at the same
            // tick replaces it.
            last.tempo = tempo;
        } else if (tempo != last.tempo) {
            const Wide raw = last.raw + static_cast<Wide>(event->m_tick - last.tick) * last.tempo;
            m_segments.push_back(Segment { event->m_tick, tempo, raw });
        }
        first = false;
        setAt = event->m_tick;
    });
}

const CTempoMap::Segment& CTempoMap::SegmentAt(LONGLONG tick) const
{
    return SegmentAtTick(m_segments, tick);
}

LONGLONG CTempoMap::TempoAt(LONGLONG tick) const
{
    return SegmentAt(tick).tempo;
}

CTempoMap::Wide CTempoMap::RawAt(LONGLONG tick) const
{
    const Segment& segment = SegmentAt(tick);
    return segment.raw + static_cast<Wide>(tick - segment.tick) * segment.tempo;
}

LONGLONG CTempoMap::TickAtRaw(Wide raw) const
{
    auto after = std::upper_bound(m_segments.begin(), m_segments.end(), raw,
        [](Wide r, const Segment& segment) { return r < segment.raw; });
    const Segment& segment = after == m_segments.begin() ? m_segments.front() : *(after - 1);
    return Saturate(static_cast<Wide>(segment.tick) + (raw - segment.raw) / segment.tempo);
}

void CTempoMap::Scale(LONGLONG ppqn, LONGLONG userTempo, Wide& numerator, Wide& denominator) const
{
    if (ppqn <= 0)
        ppqn = kDefaultPpqn;
    if (userTempo <= 0)
        userTempo = DEFAULT_TEMPO;
    // raw / ppqn is in file microseconds; the user's tempo scales them.
    numerator = userTempo;
    denominator = static_cast<Wide>(FirstTempo()) * ppqn;
}

LONGLONG CTempoMap::MicrosAt(LONGLONG tick, LONGLONG ppqn, LONGLONG userTempo) const
{
    Wide numerator, denominator;
    Scale(ppqn, userTempo, numerator, denominator);
    return Saturate(RawAt(tick) * numerator / denominator);
}

LONGLONG CTempoMap::TickAfter(LONGLONG from, LONGLONG micros, LONGLONG ppqn, LONGLONG userTempo) const
{
    if (micros <= 0)
        return from;
    Wide numerator, denominator;
    Scale(ppqn, userTempo, numerator, denominator);
    return TickAtRaw(RawAt(from) + static_cast<Wide>(micros) * denominator / numerator);
}

LONGLONG CTempoMap::MicrosUntil(LONGLONG from, LONGLONG to, LONGLONG ppqn, LONGLONG userTempo) const
{
    const Wide distance = RawAt(to) - RawAt(from);
    if (distance <= 0)
        return 0;
    Wide numerator, denominator;
    Scale(ppqn, userTempo, numerator, denominator);
    return Saturate((distance * numerator + denominator - 1) / denominator);
}
