#include "PlayerTestSupport.h"
#include "tests/PostedMessages.h"

#include "player/CDrivenPlayer.h"
#include "player/CTransport.h"

#include <optional>
#include <utility>

// The driven player lets the clock run for each sleep the engine asks for,
// so everything goes out at the time the thread would send it: the thread
// sleeps until the next event or click, along the song's tempo map scaled by
// the tempo box, and a tempo change goes on from the position where it came.
TEST(Timing, EventsAndClicksGoOutAtTheirTimesAcrossTempoChanges)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    CTrack* track = d.AddTrack();
    // A quarter of 500000 us, then of 250000 from tick 960.
    AddAt(track, 0, 0xFF, 0, 0, 0x51, { 0x07, 0xA1, 0x20 });
    for (BYTE n = 0; n < 4; ++n) {
        if (n == 2)
            AddAt(track, n * 480, 0xFF, 0, 0, 0x51, { 0x03, 0xD0, 0x90 });
        AddAt(track, n * 480, 0x90, n, 1);
    }
    AddAt(track, 1600, 0x80, 3, 0);
    d.state.m_ppqn = 480;
    CTransport transport(d.state, nullptr, FALSE);
    transport.AdoptSong(d.dialog.m_pTracks);
    d.dialog.m_metronome.m_enabled = TRUE;
    ASSERT_TRUE(transport.Play());
    // Each note (n) and click (c) with its time.
    std::vector<std::pair<LONGLONG, char>> sent;
    int periods = 0;
    CDrivenPlayer::Run(d.dialog, clock, [&] {
        ++periods;
        for (const Message& m : d.Take()) {
            if (m[0] == 0x90 || (m[0] == 0x99 && m[2] != 0))
                sent.emplace_back(clock.Micros(), m[0] == 0x90 ? 'n' : 'c');
        }
        // At tick 480 the tempo box halves the speed from there on.
        if (clock.Micros() == 500000)
            EXPECT_TRUE(transport.SetTempo(60));
        return TRUE;
    });
    // The first click comes right after the start, then one every beat,
    // before the song's events of the same period.
    EXPECT_EQ(sent, (std::vector<std::pair<LONGLONG, char>> { { 0, 'n' }, { 1042, 'c' }, { 500000, 'c' },
                        { 500000, 'n' }, { 1500000, 'c' }, { 1500000, 'n' }, { 2000000, 'c' }, { 2000000, 'n' } }));
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    EXPECT_EQ(clock.Micros(), 2166667) << "stopped by itself at the song's end";
    EXPECT_LE(periods, 7) << "woken only for work";
}

// The same bytes in the same order as from the player thread, which sends
// them in real time; a stop asked for between two periods ends the run there
// with the all-off, as Ctrl-C does.
TEST(Timing, TheDrivenPlayerSendsWhatThePlayerThreadSends)
{
    std::vector<int> threaded;
    std::optional<DrivenTickCount> clock;
    // The player thread, then the driven player to the end and stopped after its fourth period.
    for (int stopAfter : { -1, 0, 4 }) {
        if (stopAfter >= 0)
            clock.emplace(0);
        // One track, so that the order is the file's however late the
        // thread wakes; the last events come 0.2 s before the end.
        CapturedDialog d;
        d.TickPerMs();
        CTrack* track = d.AddTrack();
        AddAt(track, 0, 0xC0, 19);
        for (LONGLONG tick = 0; tick < 400; tick += 40) {
            AddAt(track, tick, 0x90, static_cast<BYTE>(60 + tick / 40), 100);
            AddAt(track, tick + 7, 0xE1, 0, static_cast<BYTE>(64 + tick / 40));
            AddAt(track, tick + 20, 0x80, static_cast<BYTE>(60 + tick / 40), 0);
        }
        d.state.m_length = 600;
        ASSERT_TRUE(CTransport(d.state, nullptr, FALSE).Play());
        if (stopAfter < 0) {
            ASSERT_TRUE(d.dialog.StartPlayerThread());
            while (d.state.m_playState != STATE_STOPPED)
                Sleep(5);
            threaded = d.Bytes();
            ASSERT_EQ(threaded.size(), 64u * 3 + 2 + 30 * 3 + 48 * 3) << "the start, every event and the all-off";
            continue;
        }
        size_t sentBeforeStop = 0;
        int periods = 0;
        CDrivenPlayer::Run(d.dialog, *clock, [&] {
            sentBeforeStop = d.Bytes().size();
            return ++periods != stopAfter ? TRUE : FALSE;
        });
        std::vector<int> expected(threaded.begin(), threaded.begin() + static_cast<long>(sentBeforeStop));
        expected.insert(expected.end(), threaded.end() - 48 * 3, threaded.end());
        EXPECT_EQ(d.Bytes(), expected) << stopAfter;
        EXPECT_EQ(clock->Micros(), stopAfter ? 40000 : 600000) << stopAfter;
    }
}

// Refresh posts to the window (1005 display, 1004 meters), as the dialog's
// flags and the last runs of both commands ask for them.
TEST(Timing, RefreshesArePostedWhileSomethingMovesAndTheIdleThreadSleeps)
{
    DrivenTickCount clock(1000);
    CTabrinoDlg dialog;
    ASSERT_TRUE(dialog.CreateHeadless(240, 268));
    dialog.m_playerState.m_lastMeterTime = 980;
    struct Step { DWORD ms; BOOL refresh, display, meters; DWORD displayRan, sleep; std::vector<WPARAM> posted; };
    for (const Step& s : std::vector<Step> {
             { 1000, FALSE, TRUE, TRUE, 990, INFINITE, {} }, // off until the dialog turns them on
             { 1000, TRUE, FALSE, FALSE, 990, INFINITE, {} }, // nothing moves: only a request wakes the thread
             { 1000, TRUE, TRUE, TRUE, 990, 6000, {} }, // both go out together, when the later is due
             { 1006, TRUE, TRUE, TRUE, 990, 16000, { 1005, 1004 } },
             { 1016, TRUE, TRUE, TRUE, 990, 6000, {} }, // a post not run yet is not repeated at once
             { 1022, TRUE, FALSE, TRUE, 1016, 16000, { 1004 } }, // the display ran, the meters not
         }) {
        clock.Set(s.ms);
        dialog.m_bRefresh = s.refresh;
        dialog.m_bDisplayPending = s.display;
        dialog.m_bMetersMoving = s.meters;
        dialog.m_dwLastRefresh = s.displayRan;
        EXPECT_EQ(CPlayerEngine::RunPeriod(dialog), s.sleep) << s.ms;
        std::vector<WPARAM> posted;
        for (const MSG& msg : DrainPostedMessages(dialog.m_hWnd))
            posted.push_back(msg.lParam == reinterpret_cast<LPARAM>(dialog.m_hWnd) ? msg.wParam : 0);
        EXPECT_EQ(posted, s.posted) << s.ms;
    }
    // While the window's own timer runs them, the thread posts none.
    clock.Set(1100);
    dialog.m_bRefreshTimer = TRUE;
    EXPECT_EQ(CPlayerEngine::RunPeriod(dialog), INFINITE);
    EXPECT_TRUE(DrainPostedMessages(dialog.m_hWnd).empty());
}

// The window's look at the clock: the position at that moment, held at the
// loop's end until the thread turns there; while stopped, the position as
// it stands.
TEST(Timing, TheWindowSamplesTheRunningClock)
{
    CPlayerState state;
    state.m_ppqn = 384;
    state.m_usPerQuarter = 500000;
    state.m_currentTick = 100;
    EXPECT_EQ(state.SampleClock(5000000), 100);
    state.AnchorClock(1000000, 384);
    EXPECT_EQ(state.SampleClock(1500000), 768);
    state.SetLoop(0, 960, TRUE);
    EXPECT_EQ(state.SampleClock(1875000), 960);
    EXPECT_EQ(state.m_currentTick, 960);
    state.SetLoop(0, 960, FALSE);
    EXPECT_EQ(state.SampleClock(1875000), 1056);
    state.StopClock();
    EXPECT_EQ(state.SampleClock(9000000), 1056);
}
