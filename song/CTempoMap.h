#pragma once

#include "platform/core/WinTypes.h"

#include <vector>

class CTrack;

// The song's tempo over its ticks, built once per load from the Set Tempo
// events of every track. The first tempo holds from tick 0, whatever tick
// it stands at; without tempo events the whole song has the default tempo,
// 120 beats per minute, as the Standard MIDI File format sets it.
//
// The conversions take the song's division (ticks per quarter note) and
// the user's tempo, in microseconds per quarter note, which stands for the
// first tempo: every tempo of the map is scaled by userTempo / FirstTempo().
// A song with one tempo thus plays at exactly the user's tempo. Zero or
// negative divisions and tempos fall back to the defaults. Results are exact
// (truncated toward zero) and saturate instead of overflowing.
class CTempoMap {
public:
    static constexpr LONGLONG DEFAULT_TEMPO = 500000;

    CTempoMap();

    void Build(const CTrack* tracks);
    // Back to the default tempo throughout.
    void Clear();
    // One tempo throughout, whatever the song's tempo events say (a song
    // timed in SMPTE frames).
    void Constant(LONGLONG tempo);

    // Microseconds per quarter note in force at tick 0.
    LONGLONG FirstTempo() const { return m_segments.front().tempo; }
    // Microseconds per quarter note that the file sets at tick.
    LONGLONG TempoAt(LONGLONG tick) const;

    // Song time of tick, counted from tick 0.
    LONGLONG MicrosAt(LONGLONG tick, LONGLONG ppqn, LONGLONG userTempo) const;
    // The position reached micros after the song stood at tick from.
    LONGLONG TickAfter(LONGLONG from, LONGLONG micros, LONGLONG ppqn, LONGLONG userTempo) const;
    // The fewest whole microseconds after which the song, standing at tick
    // from, has reached tick to; 0 when it is there already.
    LONGLONG MicrosUntil(LONGLONG from, LONGLONG to, LONGLONG ppqn, LONGLONG userTempo) const;

private:
    __extension__ typedef __int128 Wide;

    // From tick on, until the next segment, quarter notes last tempo
    // microseconds; raw is the sum of ticks x tempo of the segments before.
    struct Segment {
        LONGLONG tick;
        LONGLONG tempo;
        Wide raw;
    };

    const Segment& SegmentAt(LONGLONG tick) const;
    Wide RawAt(LONGLONG tick) const;
    LONGLONG TickAtRaw(Wide raw) const;
    // Scale of raw units to microseconds: raw x numerator / denominator.
    void Scale(LONGLONG ppqn, LONGLONG userTempo, Wide& numerator, Wide& denominator) const;

    std::vector<Segment> m_segments;
};
