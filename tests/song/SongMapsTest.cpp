#include "LoadedSong.h"

#include "player/CSoundingNote.h"
#include "song/CMeterMap.h"
#include "song/CTempoMap.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

int g_destroyed = 0;

struct CountedNote : CSoundingNote {
    explicit CountedNote(int key) { m_key = key; }
    ~CountedNote() override { ++g_destroyed; }
};

}

TEST(Ring, RemovingANodeFreesItAndRelinksItsNeighbours)
{
    CSoundingNote* head = nullptr;
    for (int key : { 1, 2, 3 })
        CRing::Append(head, static_cast<CSoundingNote*>(new CountedNote(key)));
    head = CRing::RemoveAndDelete(head, head->m_next);
    EXPECT_EQ(std::make_tuple(g_destroyed, head->m_next->m_key, head->m_prev->m_next), std::make_tuple(1, 3, head));
    CRing::Clear(head);
    EXPECT_EQ(g_destroyed, 3);
}

// A track built event by event outgrows its block several times: the ring,
// the ticks, the play cursor and the copied payloads move with the events.
TEST(Ring, EventsKeepTheirRingCursorAndPayloadsWhenTheirBlockMoves)
{
    CTrack track;
    for (BYTE i = 0; i < 100; ++i) {
        const BYTE text[] = { i, BYTE(i + 1) };
        if (i % 3 == 0)
            track.AddEvent(1, 0xFF, 0, 0, 0x01, text, 2);
        else
            track.AddEvent(1, 0x90, i, 1);
        if (i == 4)
            track.m_currentEvent = track.m_firstEvent->Prev();
    }
    // The events at ticks 3, 6, 9 ... go: what stays is still one ring.
    for (CMidiEvent* e = track.m_firstEvent; e->Next() != track.m_firstEvent;) {
        if (e->Next()->m_tick % 3 == 0)
            CRing::RemoveAndDelete(track.m_firstEvent, e->Next());
        else
            e = e->Next();
    }
    std::vector<LONGLONG> ticks, texts;
    size_t hint = 0;
    bool cursorInRing = false;
    CRing::ForEach(track.m_firstEvent, [&](const CMidiEvent* e) {
        EXPECT_EQ(e->Next()->Prev(), e);
        cursorInRing |= e == track.m_currentEvent;
        ticks.push_back(e->m_tick);
        const CMidiPayload payload = track.Payload(e, &hint);
        EXPECT_EQ(payload.length, track.Payload(e).length);
        if (payload.length)
            texts.push_back(payload.bytes[0] * 1000 + payload.bytes[1]);
    });
    // Event n (from 0) lies at tick n + 1; every third carries n, n + 1.
    std::vector<LONGLONG> kept, keptTexts;
    for (LONGLONG tick = 1; tick <= 100; ++tick) {
        if (tick % 3 != 0)
            kept.push_back(tick);
        if (tick % 3 == 1)
            keptTexts.push_back((tick - 1) * 1000 + tick);
    }
    EXPECT_EQ(ticks, kept);
    EXPECT_EQ(texts, keptTexts);
    ASSERT_TRUE(cursorInRing);
    EXPECT_EQ(std::make_tuple(track.m_currentEvent->m_tick, track.GetLastTick()), std::make_tuple(5, 100));
}

TEST(SongMaps, TempoMapConvertsBetweenTicksAndTimeAtTheUsersScale)
{
    // 480 ticks per quarter: a quarter at 500000, then from tick 960 at
    // 250000; a short payload and a damaged tempo of 0 set nothing. Where
    // both tracks set a tempo at one tick, the last track's wins, and the
    // first tempo holds from tick 0.
    Bytes first, second;
    AddMeta(first, 0x51, "\x04\x93\xE0", 5); // 300000
    AddMeta(first, 0x51, "\x07\xA1", 5);
    AddMeta(first, 0x51, "\x06\x1A\x80", 2990); // 400000
    AddMeta(second, 0x51, "\x07\xA1\x20", 5); // 500000
    AddMeta(second, 0x51, "\x03\xD0\x90", 955); // 250000
    AddMeta(second, 0x51, std::string(3, '\0'), 40);
    AddMeta(second, 0x51, "\x09\x27\xC0", 2000); // 600000
    LoadedSong s(Smf(1, 480, { first, second }));
    CTempoMap map;
    map.Build(s.tracks);
    EXPECT_EQ(std::make_tuple(map.FirstTempo(), map.TempoAt(2000), map.TempoAt(3000)), std::make_tuple(500000, 250000, 600000));
    // The user's tempo stands for the first tempo: tick and its song time.
    for (const auto& [user, tick, micros] : std::vector<std::array<LONGLONG, 3>> { { 500000, 960, 1000000 },
             { 500000, 1920, 1500000 }, { 500000, 1440, 1250000 }, { 1000000, 1920, 3000000 }, { 250000, 1920, 750000 } }) {
        SCOPED_TRACE(testing::Message() << user << " " << tick);
        EXPECT_EQ(map.MicrosAt(tick, 480, user), micros);
        EXPECT_EQ(map.TickAfter(0, micros, 480, user), tick);
        // The least time after which the position has reached the tick:
        // one microsecond less falls short of it.
        LONGLONG until = map.MicrosUntil(0, tick, 480, user);
        EXPECT_EQ(map.TickAfter(0, until, 480, user), tick);
        EXPECT_EQ(map.TickAfter(0, until - 1, 480, user), tick - 1);
    }
    // Times are truncated; the time until a tick is rounded up.
    EXPECT_EQ(map.MicrosAt(961, 480, 500000), 1000520);
    EXPECT_EQ(map.MicrosUntil(0, 961, 480, 500000), 1000521);
    EXPECT_EQ(map.TickAfter(960, 500000, 480, 500000), 1920);
    EXPECT_EQ(map.MicrosUntil(1920, 960, 480, 500000), 0);
    // Unusable timing falls back to the defaults; huge positions saturate.
    CTempoMap single;
    EXPECT_EQ(single.TickAfter(0, 1000000, 0, 0), 768);
    EXPECT_EQ(single.MicrosAt(INT64_MAX / 2, 1, 2000000), INT64_MAX);
    EXPECT_EQ(single.TickAfter(INT64_MAX / 2, INT64_MAX, 65535, 1), INT64_MAX);
}

TEST(SongMaps, MeterMapCountsBarsAndBeatsFromTheTimeSignatures)
{
    // 96 ticks per quarter: 3/4 from the start, 6/8 from bar 3 (tick 576),
    // 2/2 from half-way into the first 6/8 bar (tick 720), given in the
    // second track where the first sets 4/4: the last track's wins. The first
    // signature, at tick 10, holds from tick 0.
    Bytes first, second;
    AddMeta(first, 0x58, "\x03\x02\x18\x08", 10);
    AddMeta(first, 0x58, "\x06\x03\x18\x08", 566);
    AddMeta(first, 0x58, "\x04\x02\x18\x08", 144);
    AddMeta(first, 0x58, std::string("\x00\x02\x18\x08", 4), 80); // no beats: ignored
    AddMeta(second, 0x58, "\x02\x01\x18\x08", 720);
    LoadedSong s(Smf(1, 96, { first, second }));
    CMeterMap meter;
    meter.Build(s.tracks, 96);
    for (const auto& [tick, bar, beat, inBeat, beatStart, nextBeat] : std::vector<std::array<LONGLONG, 6>> {
             { 0, 0, 0, 0, 0, 96 }, { 95, 0, 0, 95, 0, 96 }, { 288, 1, 0, 0, 288, 384 }, { 575, 1, 2, 95, 480, 576 },
             { 576, 2, 0, 0, 576, 624 }, { 700, 2, 2, 28, 672, 720 },
             // The 6/8 bar cut short still counts: 2/2 starts bar 4.
             { 720, 3, 0, 0, 720, 912 }, { 1100, 3, 1, 188, 912, 1104 }, { 1104, 4, 0, 0, 1104, 1296 } }) {
        SCOPED_TRACE(tick);
        CMeterMap::Position at = meter.At(tick);
        EXPECT_EQ(std::make_tuple(at.bar, at.beat, at.tick), std::make_tuple(bar, beat, inBeat));
        EXPECT_EQ(std::make_tuple(meter.BeatStart(tick), meter.NextBeatStart(tick)), std::make_tuple(beatStart, nextBeat));
        // Bar and beat lead back to the beat's first tick.
        EXPECT_EQ(meter.TickOf(bar, beat), beatStart);
    }
    EXPECT_EQ(std::make_tuple(meter.BeatsInBar(2), meter.BeatsInBar(3)), std::make_tuple(6, 2));
    EXPECT_EQ(meter.TickOf(2, 5), 720) << "the beat the change cut off";
    EXPECT_EQ(meter.TickOf(INT64_MAX / 2, 0), INT64_MAX) << "saturates";
    // One bar keeps the beat (held to the shorter bar's last), one beat goes
    // to the next or previous beat's start; nothing goes before tick 0.
    for (const auto& [tick, barBack, barOn, beatBack, beatOn] : std::vector<std::array<LONGLONG, 5>> {
             { 0, 0, 288, 0, 96 }, { 400, 96, 624, 288, 480 }, { 700, 480, 912, 624, 720 }, { 720, 576, 1104, 672, 912 } }) {
        SCOPED_TRACE(tick);
        EXPECT_EQ(std::make_tuple(meter.StepBars(tick, -1), meter.StepBars(tick, 1)), std::make_tuple(barBack, barOn));
        EXPECT_EQ(std::make_tuple(meter.StepBeats(tick, -1), meter.StepBeats(tick, 1)), std::make_tuple(beatBack, beatOn));
    }
    // Without a time signature: 4/4 with the quarter as beat.
    CMeterMap plain(384);
    EXPECT_EQ(std::make_tuple(plain.At(1537).bar, plain.At(1537).beat, plain.At(1537).tick), std::make_tuple(0LL + 1, 0LL, 1LL));
    EXPECT_EQ(plain.BeatStart(9999), 9984);
}
