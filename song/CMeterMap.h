#pragma once

#include "platform/core/WinTypes.h"

#include <vector>

class CTrack;

// Bars and beats over the song's ticks, built once per load from the time
// signatures of every track. A beat is the signature's denominator note (a
// quarter in 3/4, an eighth in 6/8), a bar its numerator of beats. The first
// signature holds from tick 0; a later one starts a new bar at its tick.
// Without time signatures the song is in 4/4.
class CMeterMap {
public:
    // A position as bar, beat in the bar and tick in the beat, all from 0.
    struct Position {
        LONGLONG bar;
        LONGLONG beat;
        LONGLONG tick;
    };

    // 4/4 throughout, with ppqn ticks per quarter note.
    explicit CMeterMap(LONGLONG ppqn = 384);

    void Build(const CTrack* tracks, LONGLONG ppqn);
    void Reset(LONGLONG ppqn);
    // Seconds for a song without beats (one timed in SMPTE frames): a bar
    // of one beat a second, whatever time signatures the song has.
    void CountSeconds(LONGLONG ticksPerSecond);

    Position At(LONGLONG tick) const;
    // The first tick of the beat that tick lies in.
    LONGLONG BeatStart(LONGLONG tick) const;
    // The first beat that starts after tick.
    LONGLONG NextBeatStart(LONGLONG tick) const;
    // The first tick of a beat given as bar and beat in the bar, from 0; a
    // bar cut short by a change of signature ends where the next one starts.
    LONGLONG TickOf(LONGLONG bar, LONGLONG beat) const;
    // Whether the meter at tick is compound (6/8, 9/8, 12/8): its eighths
    // fall in groups of three, a dotted quarter each.
    bool IsCompound(LONGLONG tick) const;
    // The number of beats of a bar, from 0.
    LONGLONG BeatsInBar(LONGLONG bar) const;
    // The start of the same beat `bars` bars away (the bar's last beat when
    // it has fewer), never before tick 0.
    LONGLONG StepBars(LONGLONG tick, LONGLONG bars) const;
    // The start of the beat `beats` beats away from the beat tick lies in,
    // never before tick 0. Steps beat by beat: meant for a few.
    LONGLONG StepBeats(LONGLONG tick, LONGLONG beats) const;

private:
    struct Segment {
        LONGLONG tick;
        LONGLONG bar;
        LONGLONG beatTicks;
        LONGLONG beatsPerBar;
    };

    const Segment& SegmentAt(LONGLONG tick) const;
    // The segment a bar lies in, and the tick where the next one starts
    // (LLONG_MAX after the last).
    const Segment& SegmentOfBar(LONGLONG bar, LONGLONG* nextTick) const;

    LONGLONG m_ppqn { 384 };
    std::vector<Segment> m_segments;
};
