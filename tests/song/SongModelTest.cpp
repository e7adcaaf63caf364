#include "player/CSoundingNote.h"
#include "song/CMeterMap.h"
#include "song/CSongInfo.h"
#include "song/CTempoMap.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace {

int g_destroyed = 0;

class CountedNote : public CSoundingNote {
public:
    explicit CountedNote(int key) { m_key = key; }
    ~CountedNote() override { ++g_destroyed; }
};

}

TEST(Ring, RemovingANodeFreesItAndRelinksItsNeighbours)
{
    g_destroyed = 0;
    CSoundingNote* head = nullptr;
    for (int key : { 1, 2, 3 })
        CRing::Append(head, static_cast<CSoundingNote*>(new CountedNote(key)));
    head = CRing::RemoveAndDelete(head, head->m_next);
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(head->m_next->m_key, 3);
    EXPECT_EQ(head->m_prev->m_next, head);
    CRing::Clear(head);
    EXPECT_EQ(g_destroyed, 3);
}

TEST(SongModel, InfoTakesTheLongestTrack)
{
    EXPECT_EQ(CSongInfo::FromTracks(nullptr).m_length, 0);
    CTrack* tracks = nullptr;
    for (DWORD last : { 100u, 5000u, 20u }) {
        auto* t = new CTrack;
        t->AddEvent(last, 0x90, 60, 1, 0, 0, 0, nullptr);
        CRing::Append(tracks, t);
    }
    CRing::Append(tracks, new CTrack);
    EXPECT_EQ(CSongInfo::FromTracks(tracks).m_length, 5000);
    CRing::Clear(tracks);
}

namespace {

// Appends a meta event at an absolute tick with the given payload bytes.
void AddMetaAt(CTrack* track, LONGLONG tick, BYTE type, std::initializer_list<BYTE> bytes)
{
    auto* payload = new BYTE[bytes.size() + 1];
    std::copy(bytes.begin(), bytes.end(), payload);
    payload[bytes.size()] = 0;
    LONGLONG last = track->m_firstEvent ? track->GetLastTick() : 0;
    track->AddEvent(static_cast<DWORD>(tick - last), 0xFF, 0, 0, 0, type, static_cast<DWORD>(bytes.size()), payload);
}

void AddTempoAt(CTrack* track, LONGLONG tick, LONGLONG tempo)
{
    AddMetaAt(track, tick, 0x51,
        { static_cast<BYTE>(tempo >> 16), static_cast<BYTE>(tempo >> 8), static_cast<BYTE>(tempo) });
}

}

TEST(SongModel, TempoMapConvertsBetweenTicksAndTimeAtTheUsersScale)
{
    // 480 ticks per quarter: a quarter at 500000, then from tick 960 at
    // 250000; a damaged tempo of 0 and a short payload set nothing. The
    // change sits in the second track.
    CTrack* tracks = nullptr;
    CRing::Append(tracks, new CTrack);
    CRing::Append(tracks, new CTrack);
    AddTempoAt(tracks, 0, 500000);
    AddMetaAt(tracks, 10, 0x51, { 0x07, 0xA1 });
    AddTempoAt(tracks->m_next, 960, 250000);
    AddTempoAt(tracks->m_next, 1000, 0);
    CTempoMap map;
    map.Build(tracks);
    EXPECT_EQ(map.FirstTempo(), 500000);
    EXPECT_EQ(map.TempoAt(2000), 250000);

    struct Case {
        LONGLONG user; // the user's tempo, standing for the first tempo
        LONGLONG tick;
        LONGLONG micros; // song time of tick from 0
    };
    for (const Case& c : { Case { 500000, 960, 1000000 }, Case { 500000, 1920, 1500000 },
             Case { 500000, 1440, 1250000 }, Case { 1000000, 1920, 3000000 }, Case { 250000, 1920, 750000 } }) {
        EXPECT_EQ(map.MicrosAt(c.tick, 480, c.user), c.micros) << c.user << " " << c.tick;
        EXPECT_EQ(map.TickAfter(0, c.micros, 480, c.user), c.tick) << c.user << " " << c.tick;
        // The least time after which the position has reached the tick:
        // one microsecond less falls short of it.
        LONGLONG until = map.MicrosUntil(0, c.tick, 480, c.user);
        EXPECT_EQ(map.TickAfter(0, until, 480, c.user), c.tick) << c.user << " " << c.tick;
        EXPECT_EQ(map.TickAfter(0, until - 1, 480, c.user), c.tick - 1) << c.user << " " << c.tick;
    }
    // Times are truncated; the time until a tick is rounded up.
    EXPECT_EQ(map.MicrosAt(961, 480, 500000), 1000520);
    EXPECT_EQ(map.MicrosUntil(0, 961, 480, 500000), 1000521);
    EXPECT_EQ(map.TickAfter(960, 500000, 480, 500000), 1920);
    EXPECT_EQ(map.MicrosUntil(1920, 960, 480, 500000), 0);

    CTempoMap single;
    // Unusable timing falls back to the defaults.
    EXPECT_EQ(single.TickAfter(0, 1000000, 0, 0), 576);
    // Huge positions saturate instead of overflowing.
    EXPECT_EQ(single.MicrosAt(INT64_MAX / 2, 1, 2000000), INT64_MAX);
    EXPECT_EQ(single.TickAfter(INT64_MAX / 2, INT64_MAX, 65535, 1), INT64_MAX);
    CRing::Clear(tracks);
}

TEST(SongModel, TheFirstTempoAndMeterHoldFromTickZeroAndTheLastAtATickWins)
{
    CTrack* tracks = nullptr;
    CRing::Append(tracks, new CTrack);
    CRing::Append(tracks, new CTrack);
    AddTempoAt(tracks, 96, 400000);
    AddMetaAt(tracks, 96, 0x58, { 2, 2, 24, 8 });
    AddTempoAt(tracks->m_next, 96, 600000);
    AddMetaAt(tracks->m_next, 96, 0x58, { 3, 2, 24, 8 });
    CTempoMap tempo;
    tempo.Build(tracks);
    EXPECT_EQ(tempo.FirstTempo(), 600000);
    CMeterMap meter;
    meter.Build(tracks, 96);
    EXPECT_EQ(meter.At(2 * 96).bar, 0);
    CRing::Clear(tracks);
}

TEST(SongModel, MeterMapCountsBarsAndBeatsFromTheTimeSignatures)
{
    // 96 ticks per quarter: 3/4 from the start, 6/8 from bar 3 (tick 576),
    // 2/2 from half-way into the first 6/8 bar (tick 720).
    CTrack track;
    AddMetaAt(&track, 0, 0x58, { 3, 2, 24, 8 });
    AddMetaAt(&track, 576, 0x58, { 6, 3, 24, 8 });
    AddMetaAt(&track, 720, 0x58, { 2, 1, 24, 8 });
    AddMetaAt(&track, 800, 0x58, { 0, 2, 24, 8 }); // no beats: ignored
    CMeterMap meter;
    meter.Build(&track, 96);
    struct Case {
        LONGLONG tick, bar, beat, inBeat, beatStart, nextBeat;
    };
    for (const Case& c : { Case { 0, 0, 0, 0, 0, 96 }, Case { 95, 0, 0, 95, 0, 96 }, Case { 288, 1, 0, 0, 288, 384 },
             Case { 575, 1, 2, 95, 480, 576 }, Case { 576, 2, 0, 0, 576, 624 }, Case { 700, 2, 2, 28, 672, 720 },
             // The 6/8 bar cut short still counts: 2/2 starts bar 4.
             Case { 720, 3, 0, 0, 720, 912 }, Case { 1100, 3, 1, 188, 912, 1104 },
             Case { 1104, 4, 0, 0, 1104, 1296 } }) {
        CMeterMap::Position at = meter.At(c.tick);
        EXPECT_EQ(at.bar, c.bar) << c.tick;
        EXPECT_EQ(at.beat, c.beat) << c.tick;
        EXPECT_EQ(at.tick, c.inBeat) << c.tick;
        EXPECT_EQ(meter.BeatStart(c.tick), c.beatStart) << c.tick;
        EXPECT_EQ(meter.NextBeatStart(c.tick), c.nextBeat) << c.tick;
        // Bar and beat lead back to the beat's first tick.
        EXPECT_EQ(meter.TickOf(c.bar, c.beat), c.beatStart) << c.tick;
    }
    EXPECT_EQ(meter.BeatsInBar(2), 6);
    EXPECT_EQ(meter.BeatsInBar(3), 2);
    EXPECT_EQ(meter.TickOf(2, 5), 720) << "the beat the change cut off";
    EXPECT_EQ(meter.TickOf(INT64_MAX / 2, 0), INT64_MAX) << "saturates";
    // One bar keeps the beat (held to the shorter bar's last), one beat goes
    // to the next or previous beat's start; nothing goes before tick 0.
    struct Step {
        LONGLONG tick, barBack, barOn, beatBack, beatOn;
    };
    for (const Step& s : { Step { 0, 0, 288, 0, 96 }, Step { 400, 96, 624, 288, 480 },
             Step { 700, 480, 912, 624, 720 }, Step { 720, 576, 1104, 672, 912 } }) {
        EXPECT_EQ(meter.StepBars(s.tick, -1), s.barBack) << s.tick;
        EXPECT_EQ(meter.StepBars(s.tick, 1), s.barOn) << s.tick;
        EXPECT_EQ(meter.StepBeats(s.tick, -1), s.beatBack) << s.tick;
        EXPECT_EQ(meter.StepBeats(s.tick, 1), s.beatOn) << s.tick;
    }
    // Without a time signature: 4/4 with the quarter as beat.
    CMeterMap plain(384);
    EXPECT_EQ(plain.At(1537).bar, 1);
    EXPECT_EQ(plain.At(1537).beat, 0);
    EXPECT_EQ(plain.At(1537).tick, 1);
    EXPECT_EQ(plain.BeatStart(9999), 9984);
}
