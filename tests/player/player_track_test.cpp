#include "PlayerTestSupport.h"

#include "player/CPractice.h"

namespace {

// A track with a controller, a program, a note, two pitch bends, a sysex
// and a meta event before tick 768, and a note exactly at 768.
CTrack* BuildTrack(CapturedDialog& d, int channel)
{
    CTrack* track = d.AddTrack();
    BYTE c = static_cast<BYTE>(channel);
    AddAt(track, 0, 0xB0 | c, 7, 100);
    AddAt(track, 0, 0xC0 | c, 5);
    AddAt(track, 10, 0x90 | c, 60, 90);
    AddAt(track, 20, 0xE0 | c, 0, 64);
    track->AddEvent(10, 0xF0, 0, 0, 0, 0, 0, nullptr);
    AddMeta(track, 40, 0x51);
    AddAt(track, 100, 0xB0 | c, 10, 30);
    AddAt(track, 150, 0xE0 | c, 0x11, 0x50);
    AddAt(track, 200, 0x80 | c, 60, 0);
    AddAt(track, 768, 0x90 | c, 62, 80);
    AddAt(track, 1000, 0x80 | c, 62, 0);
    return track;
}

}

TEST(Tracks, SeekReplaysControllersProgramsAndTheLastBendOfEachChannelBeforeTheTick)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    BuildTrack(d, 0);
    BuildTrack(d, 1);
    // Bends in a third track: on channel 1 one older than the second track's
    // last, on channel 0 one newer than the first track's, and on channel 2
    // one at the position, which is played rather than replayed.
    CTrack* bends = d.AddTrack();
    AddAt(bends, 120, 0xE1, 1, 2);
    AddAt(bends, 150, 0xE2, 3, 4);
    AddAt(bends, 767, 0xE0, 5, 6);
    AddAt(bends, 768, 0xE2, 7, 8);
    d.state.m_length = 1000;
    d.Start(768);
    auto sent = d.Take();
    ASSERT_EQ(sent.size(), 64u + 12u);
    std::vector<Message> expected {
        // Track by track, each in file order, every bend but each channel's
        // last passed over; the events at 768 come from the first PlayUntil,
        // after the replay of every track.
        Msg({ 0xB0, 7, 100 }), Msg({ 0xC0, 5 }), Msg({ 0xB0, 10, 30 }),
        Msg({ 0xB1, 7, 100 }), Msg({ 0xC1, 5 }), Msg({ 0xB1, 10, 30 }), Msg({ 0xE1, 0x11, 0x50 }),
        Msg({ 0xE2, 3, 4 }), Msg({ 0xE0, 5, 6 }),
        Msg({ 0x90, 62, 80 }), Msg({ 0x91, 62, 80 }), Msg({ 0xE2, 7, 8 }),
    };
    EXPECT_EQ(std::vector<Message>(sent.begin() + 64, sent.end()), expected);
}

TEST(Tracks, EveryEventGoesOutOnceTrackAfterTrack)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    CTrack* first = d.AddTrack();
    CTrack* second = d.AddTrack();
    AddAt(first, 100, 0x90, 40, 1);
    AddAt(first, 200, 0x90, 41, 1);
    AddAt(second, 50, 0x91, 50, 1);
    AddAt(second, 150, 0x91, 51, 1);
    d.state.m_length = 5000;
    d.Start(0);
    d.Skip();

    clock.Set(400); // tick 230: everything is due at once
    d.Period();
    std::vector<Message> expected { Msg({ 0x90, 40, 1 }), Msg({ 0x90, 41, 1 }), Msg({ 0x91, 50, 1 }),
        Msg({ 0x91, 51, 1 }) };
    EXPECT_EQ(d.Take(), expected);
    EXPECT_TRUE(first->m_finished);
    clock.Set(2000);
    d.Period();
    EXPECT_TRUE(d.Take().empty());

    // A new seek re-arms a finished track.
    d.state.m_playState = STATE_STOP;
    d.Period();
    d.Skip();
    d.Start(150);
    EXPECT_FALSE(first->m_finished);
    auto sent = d.Take();
    ASSERT_EQ(sent.size(), 64u + 1u);
    EXPECT_EQ(sent.back(), Msg({ 0x91, 51, 1 }));
}

TEST(Tracks, TheLoopJumpsBackToItsStartWhenItsEndIsDue)
{
    // One tick a millisecond. A loop end past the song's end turns at the
    // end instead of stopping. An empty message stands for the all-off.
    using Timeline = std::vector<std::pair<LONGLONG, Message>>;
    const Message cut {};
    const Timeline common { { 100, Msg({ 0x90, 40, 64 }) }, { 480, Msg({ 0xB0, 1, 20 }) },
        { 480, Msg({ 0x90, 41, 64 }) } };
    auto jump = [&cut](LONGLONG at) {
        return Timeline { { at, cut }, { at, Msg({ 0xB0, 1, 10 }) }, { at, Msg({ 0xB0, 1, 20 }) },
            { at, Msg({ 0x90, 41, 64 }) } };
    };
    struct Case {
        LONGLONG loopEnd, until;
        std::vector<Timeline> after;
    };
    for (const Case& c : {
             // The loop end lies between two events: the thread wakes for it.
             Case { 768, 1500, { jump(768), jump(1056), jump(1344) } },
             Case { 5000, 2100,
                 { { { 900, Msg({ 0x80, 40, 0 }) }, { 960, Msg({ 0x90, 42, 64 }) }, { 1500, Msg({ 0x80, 42, 0 }) } },
                     jump(2000) } },
         }) {
        DrivenTickCount clock(0);
        CapturedDialog d;
        CTrack* track = d.AddTrack();
        AddAt(track, 0, 0xB0, 1, 10);
        AddAt(track, 100, 0x90, 40, 64);
        AddAt(track, 480, 0xB0, 1, 20);
        AddAt(track, 480, 0x90, 41, 64);
        AddAt(track, 900, 0x80, 40, 0);
        AddAt(track, 960, 0x90, 42, 64);
        AddAt(track, 1500, 0x80, 42, 0);
        d.state.m_ppqn = 480;
        d.state.m_meterMap.Reset(480);
        d.state.m_usPerQuarter = 480000;
        d.state.m_length = 2000;
        d.state.SetLoop(480, c.loopEnd, TRUE);
        d.Start(0);
        // A start at zero replays nothing and plays tick 0 once.
        const std::vector<Message> started = d.Take();
        ASSERT_EQ(started.size(), 65u);
        EXPECT_EQ(started.back(), Msg({ 0xB0, 1, 10 }));
        Timeline got;
        BOOL stillPlaying = FALSE;
        for (auto [at, m] : RunDriven(d, clock, c.until * 1000, nullptr, &stillPlaying)) {
            const bool off = m.size() == 3 && (m[0] & 0xF0) == 0xB0 && (m[1] == 120 || m[1] == 121 || m[1] == 123);
            if (!off || got.empty() || got.back().second != cut)
                got.emplace_back(at / 1000, off ? cut : m);
        }
        Timeline want = common;
        for (const Timeline& part : c.after)
            want.insert(want.end(), part.begin(), part.end());
        EXPECT_EQ(got, want) << c.loopEnd;
        EXPECT_TRUE(stillPlaying) << c.loopEnd;
    }
}

TEST(Tracks, TheLoopJumpForgetsTheSoundingNotesAndRestartsTheClock)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    CTrack* track = d.AddTrack();
    AddAt(track, 0, 0xB0, 1, 2);
    AddAt(track, 10, 0x90, 60, 1);
    AddAt(track, 1000, 0x80, 60, 0);
    d.state.m_length = 1000;
    d.state.SetLoop(0, 500, TRUE);
    d.Start();
    clock.Set(100);
    d.Period();
    ASSERT_NE(d.state.m_channels[0].m_notes, nullptr);
    clock.Set(900); // tick 518 crosses the loop end
    d.Period();
    EXPECT_EQ(d.state.m_currentTick, 0);
    EXPECT_EQ(d.state.m_startTime, 900000);
    EXPECT_EQ(d.state.m_channels[0].m_notes, nullptr);

    // A start beyond the loop end lands at the loop start; the same period
    // plays the loop start's events.
    d.state.m_playState = STATE_STOP;
    d.Period();
    d.Skip();
    d.Start(700);
    EXPECT_EQ(d.state.m_currentTick, 0);
    const auto sent = d.Take();
    // The start with the replay before 700, the jump, tick 0's events.
    ASSERT_EQ(sent.size(), 64u + 1u + 48u + 1u);
    EXPECT_EQ(sent.back(), Msg({ 0xB0, 1, 2 }));
}

TEST(Tracks, MutingCutsTheChannelAndDropsItsLouderNotesUntilUnmuted)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    CPractice practice(d.state, d.dialog.m_metronome);
    CTrack* track = d.AddTrack();
    AddAt(track, 0, 0x90, 60, 100);
    AddAt(track, 0, 0x91, 50, 100);
    AddAt(track, 576, 0x90, 62, 15);
    AddAt(track, 576, 0x90, 63, 16);
    AddAt(track, 576, 0x91, 51, 100);
    AddAt(track, 1152, 0x90, 64, 100);
    d.state.m_length = 5000;
    // A mute while stopped has nothing to cut.
    practice.SetMuted(1, TRUE);
    practice.SetMuted(1, FALSE);
    d.Start(0);
    d.Skip();
    ASSERT_NE(d.state.m_channels[0].m_notes, nullptr);

    practice.SetMuted(0, TRUE);
    d.Period();
    EXPECT_EQ(d.Take(), (std::vector<Message> { Msg({ 0xB0, 120, 0 }), Msg({ 0xB0, 123, 0 }) }));
    EXPECT_EQ(d.state.m_channels[0].m_notes, nullptr);
    EXPECT_EQ(d.state.m_channels[0].TakeLevel(), -10000) << "no level while muted";
    clock.Set(1000);
    d.Period();
    // Below velocity 16 a note still passes; the other channel plays on.
    EXPECT_EQ(d.Take(), (std::vector<Message> { Msg({ 0x90, 62, 15 }), Msg({ 0x91, 51, 100 }) }));
    EXPECT_EQ(d.state.m_channels[0].TakeLevel(), -10000);

    practice.SetMuted(0, FALSE);
    clock.Set(2000);
    d.Period();
    EXPECT_EQ(d.Take(), std::vector<Message> { Msg({ 0x90, 64, 100 }) });
}
