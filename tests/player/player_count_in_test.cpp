#include "PlayerTestSupport.h"

#include "player/CDrivenPlayer.h"
#include "player/CTransport.h"

#include <utility>

namespace {

using Timed = std::vector<std::pair<LONGLONG, Message>>;

// A song of 480 ticks a quarter at 120 beats per minute in the given meter,
// with a note at tick 0 and one a quarter later.
CTrack* AddSong(CapturedDialog& d, BYTE numerator, BYTE denominatorPower)
{
    CTrack* track = d.AddTrack();
    AddAt(track, 0, 0xFF, 0, 0, 0x51, { 0x07, 0xA1, 0x20 });
    AddAt(track, 0, 0xFF, 0, 0, 0x58, { numerator, denominatorPower, 24, 8 });
    AddAt(track, 0, 0x90, 60, 100);
    AddAt(track, 480, 0x90, 62, 100);
    AddAt(track, 960, 0x80, 62, 0);
    d.state.m_ppqn = 480;
    return track;
}

// Every Note On (clicks and notes) with the time it went out.
Timed NotesOf(CapturedDialog& d, DrivenTickCount& clock, Timed& sent)
{
    for (const Message& m : d.Take())
        if ((m[0] & 0xF0) == 0x90)
            sent.emplace_back(clock.Micros(), m);
    return sent;
}

const Message A { 0x99, 37, 127 }, B { 0x99, 37, 63 }, OFF { 0x99, 37, 0 };
const Message N60 { 0x90, 60, 100 }, N62 { 0x90, 62, 100 };

}

// The count-in clicks the bars of the meter at the start, accented on each
// bar's first beat, at the user's tempo; the song's first note comes one
// click after the last.
TEST(CountIn, ClicksTheMeterAtTheUsersTempoAndTheSongStartsOneBeatAfterTheLast)
{
    struct Case {
        const char* what;
        BYTE numerator, power;
        int bars, bpm;
        bool eighths;
        Timed expected;
    };
    for (const Case& c : std::vector<Case> {
             { "3/4 at 60", 3, 2, 1, 60, false,
                 { { 0, A }, { 1000000, OFF }, { 1000000, B }, { 2000000, OFF }, { 2000000, B }, { 3000000, OFF },
                     { 3000000, N60 }, { 4000000, N62 } } },
             { "6/8 in dotted quarters, two bars", 6, 3, 2, 120, false,
                 { { 0, A }, { 750000, OFF }, { 750000, B }, { 1500000, OFF }, { 1500000, A }, { 2250000, OFF },
                     { 2250000, B }, { 3000000, OFF }, { 3000000, N60 }, { 3500000, N62 } } },
             { "6/8 in eighths", 6, 3, 1, 120, true,
                 { { 0, A }, { 250000, OFF }, { 250000, B }, { 500000, OFF }, { 500000, B }, { 750000, OFF },
                     { 750000, B }, { 1000000, OFF }, { 1000000, B }, { 1250000, OFF }, { 1250000, B },
                     { 1500000, OFF }, { 1500000, N60 }, { 2000000, N62 } } },
         }) {
        DrivenTickCount clock(0);
        CapturedDialog d;
        AddSong(d, c.numerator, c.power);
        CTransport transport(d.state, nullptr, FALSE);
        transport.AdoptSong(d.dialog.m_pTracks);
        transport.SetTempo(c.bpm);
        d.dialog.m_countIn.SetSettings(CCountInSettings { c.bars, false });
        d.dialog.m_metronome.m_compoundEighths = c.eighths;
        ASSERT_TRUE(transport.Play());
        Timed sent;
        LONGLONG heldAt = -1;
        CDrivenPlayer::Run(d.dialog, clock, [&] {
            NotesOf(d, clock, sent);
            // The position stands at the start while the clicks go out.
            if (d.dialog.m_countIn.Running())
                heldAt = std::max(heldAt, d.state.SampleClock(clock.Micros()));
            return TRUE;
        });
        EXPECT_EQ(sent, c.expected) << c.what;
        EXPECT_EQ(heldAt, 0) << c.what;
    }
}

// A seek while playing is not counted in, a resume is; a stop during the
// count-in ends its click and the song does not start.
TEST(CountIn, ResumeCountsInSeekDoesNotAndStopEndsIt)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    AddSong(d, 4, 2);
    // As the window's: a seek while playing is a start request.
    CTransport transport(d.state, nullptr, TRUE);
    transport.AdoptSong(d.dialog.m_pTracks);
    d.dialog.m_countIn.SetSettings(CCountInSettings { 1, false });
    transport.SetPosition(480);
    ASSERT_TRUE(transport.Play());
    Timed sent;
    int periods = 0;
    CDrivenPlayer::Run(d.dialog, clock, [&] {
        NotesOf(d, clock, sent);
        // Stopped after the second click.
        return ++periods < 2 || sent.size() < 3;
    });
    NotesOf(d, clock, sent);
    EXPECT_EQ(sent, (Timed { { 0, A }, { 500000, OFF }, { 500000, B }, { 500000, OFF } }));
    EXPECT_EQ(d.state.m_currentTick, 480);
    EXPECT_FALSE(d.dialog.m_countIn.Running());

    // Resumed, the count-in starts again from its first click; a seek during
    // the song plays on at once.
    sent.clear();
    const LONGLONG resumed = clock.Micros();
    ASSERT_TRUE(transport.Play());
    bool sought = false;
    CDrivenPlayer::Run(d.dialog, clock, [&] {
        NotesOf(d, clock, sent);
        if (!sought && !sent.empty() && sent.back().second == N62) {
            sought = true;
            transport.SetPosition(0);
        }
        return !(sought && sent.back().second == N60) && clock.Micros() < 10000000;
    });
    ASSERT_GE(sent.size(), 10u);
    EXPECT_EQ(sent[0], std::make_pair(resumed, A));
    EXPECT_EQ(sent[8], std::make_pair(resumed + 2000000, N62)) << "four clicks, then the song at tick 480";
    EXPECT_EQ(sent[9].second, N60) << "the seek starts without clicks";
}

// The trainer plays pass after pass of the loop, each at its tempo, up to
// its target, where it stays; with the count-in before each pass, every
// pass begins with its clicks at the pass's tempo.
TEST(SpeedTrainer, RaisesTheTempoPassByPassAndCountsInEachPassWhenAsked)
{
    for (const bool counted : { false, true }) {
        DrivenTickCount clock(0);
        CapturedDialog d;
        AddSong(d, 2, 2);
        CTransport transport(d.state, nullptr, FALSE);
        transport.AdoptSong(d.dialog.m_pTracks);
        d.state.SetLoop(0, 480, TRUE);
        std::string error;
        CSpeedTrainerSettings trainer;
        ASSERT_TRUE(trainer.FromArgument("50,100,25,1", error));
        d.dialog.m_trainer.SetSettings(trainer);
        // Counted in at the start and before each pass.
        d.dialog.m_countIn.SetSettings(CCountInSettings { counted ? 1 : 0, true });
        ASSERT_TRUE(transport.Play());
        Timed sent;
        std::vector<std::pair<long long, int>> passes;
        CDrivenPlayer::Run(d.dialog, clock, [&] {
            NotesOf(d, clock, sent);
            if (passes.empty() || passes.back().first != d.dialog.m_trainer.m_pass)
                passes.emplace_back(d.dialog.m_trainer.m_pass, int(d.state.m_bpm));
            return std::count(sent.begin(), sent.end(), std::make_pair(sent.back().first, N60)) == 0
                || std::count_if(sent.begin(), sent.end(), [](const auto& s) { return s.second == N60; }) < 5;
        });
        Timed notes;
        std::copy_if(sent.begin(), sent.end(), std::back_inserter(notes), [](const auto& s) { return s.second == N60; });
        // 60, 90, 120 and 120 beats per minute: a quarter of 1000000,
        // 666666, 500000 and 500000 us, each pass (a quarter) after its
        // count-in bar of two quarters.
        const Timed expected = counted
            ? Timed { { 2000000, N60 }, { 3000000 + 2 * 666666, N60 }, { 4333332 + 666666 + 1000000, N60 },
                  { 5999998 + 1500000, N60 }, { 7499998 + 1500000, N60 } }
            : Timed { { 0, N60 }, { 1000000, N60 }, { 1666666, N60 }, { 2166666, N60 }, { 2666666, N60 } };
        EXPECT_EQ(notes, expected) << counted;
        EXPECT_EQ(passes, (std::vector<std::pair<long long, int>> { { 1, 60 }, { 2, 90 }, { 3, 120 }, { 4, 120 }, { 5, 120 } }))
            << counted;
    }
}
