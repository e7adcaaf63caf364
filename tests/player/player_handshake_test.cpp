#include "PlayerTestSupport.h"

#include "player/CDrivenPlayer.h"
#include "player/CTransport.h"

namespace {

// Whether the messages start with the all-off.
bool IsAllOff(const std::vector<Message>& messages)
{
    if (messages.size() < 48)
        return false;
    for (int n = 0; n < 16; ++n) {
        int s = 0xB0 + n;
        if (messages[3 * n] != Msg({ s, 120, 0 }) || messages[3 * n + 1] != Msg({ s, 121, 0 })
            || messages[3 * n + 2] != Msg({ s, 123, 0 }))
            return false;
    }
    return true;
}

}

TEST(Handshake, StopIsAnsweredByTheNextPeriodInEveryState)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    AddAt(d.AddTrack(), 0, 0x90, 64, 90);
    d.state.m_length = 1000;

    // Idle: nothing to silence, the output was never started.
    d.state.m_playState = STATE_STOP;
    EXPECT_EQ(d.Period(), INFINITE);
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(d.Take().empty());

    // Playing: all-off, the sounding notes are forgotten, the peak stays.
    d.Start();
    d.Skip();
    ASSERT_NE(d.state.m_channels[0].m_notes, nullptr);
    d.state.m_playState = STATE_STOP;
    EXPECT_EQ(d.Period(), INFINITE);
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(IsAllOff(d.Take()));
    EXPECT_EQ(d.state.m_channels[0].m_notes, nullptr);
    EXPECT_EQ(d.state.m_channels[0].TakeLevel(), CChannelLevel::LevelOf(90));
    EXPECT_FALSE(d.dialog.m_output.m_started);
}

TEST(Handshake, TranspositionWhilePlayingCutsTheNotesRestoresTheControllersAndPlaysOn)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    CTrack* track = d.AddTrack();
    AddAt(track, 0, 0xB0, 11, 90);
    AddAt(track, 0, 0x90, 60, 100);
    AddAt(track, 50, 0xE0, 0, 70);
    AddAt(track, 100, 0xC0, 7);
    AddAt(track, 150, 0xE0, 0, 80);
    AddAt(track, 576, 0x90, 62, 100);
    AddAt(track, 600, 0xB0, 64, 127);
    AddAt(track, 600, 0xE0, 0, 90);
    AddAt(track, 2000, 0x80, 62, 0);
    CTrack* other = d.AddTrack();
    AddAt(other, 50, 0xB1, 10, 20);
    d.state.m_length = 2000;
    d.Start();
    clock.Set(500);
    d.Period();
    d.Skip();

    CTransport transport(d.state, nullptr, TRUE);
    ASSERT_TRUE(transport.StepTranspose(2));
    EXPECT_EQ(d.state.m_playState, STATE_RESYNC);
    clock.Set(1000);
    d.Period();
    EXPECT_EQ(d.state.m_playState, STATE_PLAYING);
    auto sent = d.Take();
    ASSERT_EQ(sent.size(), 53u);
    EXPECT_TRUE(IsAllOff(sent));
    // The all-off reset the controllers and the bend: those already played
    // come again, track by track, the bend only as it was last; the sustain
    // and the bend at 600 are still to come.
    EXPECT_EQ(sent[48], Msg({ 0xB0, 11, 90 }));
    EXPECT_EQ(sent[49], Msg({ 0xC0, 7 }));
    EXPECT_EQ(sent[50], Msg({ 0xE0, 0, 80 }));
    EXPECT_EQ(sent[51], Msg({ 0xB1, 10, 20 }));
    // The cut note is not restarted; the next one goes out transposed but
    // is tracked under the song's key.
    EXPECT_EQ(sent[52], Msg({ 0x90, 64, 100 }));
    ASSERT_NE(d.state.m_channels[0].m_notes, nullptr);
    EXPECT_EQ(d.state.m_channels[0].m_notes->m_key, 62);
    EXPECT_EQ(d.state.m_channels[0].m_notes->m_next, d.state.m_channels[0].m_notes);
}

TEST(Handshake, SongEndStopsByItselfWithoutTheLastTicksEvents)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    CTrack* track = d.AddTrack();
    AddAt(track, 0, 0x90, 60, 127);
    AddAt(track, 576, 0x80, 60, 0);
    d.state.m_length = 576;
    d.Start();
    d.Skip();

    clock.Set(999);
    d.Period();
    EXPECT_TRUE(d.Take().empty());
    clock.Set(1000);
    d.Period();
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    auto sent = d.Take();
    ASSERT_EQ(sent.size(), 48u);
    EXPECT_TRUE(IsAllOff(sent));
    // The last tick's note-off is not sent, so the level forgets the note
    // as a stop does.
    EXPECT_EQ(d.state.m_channels[0].m_notes, nullptr);

    // Play again: the position is at the end, so it starts from 0.
    CTransport transport(d.state, nullptr, TRUE);
    ASSERT_TRUE(transport.Play());
    EXPECT_EQ(d.state.m_startTick, 0);
}

TEST(Handshake, PlayStartsOnceAndNeverWithoutASong)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    // No song, or one whose events all lie at tick 0: length 0.
    AddAt(d.AddTrack(), 0, 0x90, 60, 100);
    CTransport transport(d.state, nullptr, TRUE);
    EXPECT_FALSE(transport.Play());
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    d.state.m_length = 384;
    ASSERT_TRUE(transport.Play());
    EXPECT_FALSE(transport.Play()) << "a start is already asked for";
    d.state.m_playState = STATE_STOPPED;
    d.state.m_length = 0;
    // A start request that comes all the same is refused by the thread.
    d.state.m_playState = STATE_START;
    EXPECT_EQ(d.Period(), INFINITE);
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(d.Take().empty());
}

TEST(Handshake, AStopWrittenWhileTheThreadAnswersAStartIsNotLost)
{
    // The stop arrives while the thread starts the clock, between its look
    // at the request and its answer.
    static CPlayerState* state = nullptr;
    CapturedDialog d;
    AddAt(d.AddTrack(), 0, 0x90, 60, 100);
    d.state.m_length = 1000;
    d.state.m_playState = STATE_START;
    state = &d.state;
    SetPerformanceCounterSource([] {
        std::int32_t answering = STATE_START;
        state->m_playState.compare_exchange_strong(answering, STATE_STOP);
        return LONGLONG { 1000 };
    });
    d.Period();
    SetPerformanceCounterSource(nullptr);
    EXPECT_EQ(d.state.m_playState, STATE_STOP);
    d.Skip();
    d.Period();
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(IsAllOff(d.Take()));
}

TEST(Handshake, ASeekWhileARequestIsPendingMovesTheTracksToo)
{
    // Transposed while playing, then moved before the thread got to the
    // re-synchronisation: the song goes on from the new position.
    DrivenTickCount clock(0);
    CapturedDialog d;
    CTrack* track = d.AddTrack();
    for (LONGLONG tick = 0; tick < 4000; tick += 20)
        AddAt(track, tick, 0x90, 60, 100);
    d.state.m_length = 4000;
    CTransport transport(d.state, nullptr, FALSE);
    ASSERT_TRUE(transport.Play());
    d.Period();
    clock.Set(100);
    d.Period();
    ASSERT_TRUE(transport.StepTranspose(1));
    transport.SetPosition(3000);
    EXPECT_EQ(d.state.m_playState, STATE_START);
    d.Skip();
    clock.Set(101);
    d.Period();
    EXPECT_EQ(d.state.m_currentTick, 3000);
    std::vector<Message> notes;
    for (const Message& m : d.Take()) {
        if (m[0] == 0x90)
            notes.push_back(m);
    }
    EXPECT_EQ(notes, std::vector<Message> { Msg({ 0x90, 61, 100 }) });
}

TEST(Handshake, RefreshesArePostedWhileSomethingMovesAndTheIdleThreadSleeps)
{
    DrivenTickCount clock(1000);
    CTabrinoDlg dialog;
    ASSERT_TRUE(dialog.CreateHeadless(240, 268));
    auto posted = [&dialog]() {
        std::vector<int> ids;
        MSG msg;
        while (TakePostedMessage(dialog.m_hWnd, &msg)) {
            EXPECT_EQ(msg.message, static_cast<UINT>(WM_COMMAND));
            EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(dialog.m_hWnd));
            ids.push_back(LOWORD(msg.wParam));
        }
        return ids;
    };
    // Refresh posts are off until the dialog turns them on.
    EXPECT_EQ(CPlayerEngine::RunPeriod(dialog), INFINITE);
    EXPECT_TRUE(posted().empty());

    dialog.m_bRefresh = TRUE;
    dialog.m_dwLastRefresh = 990;
    dialog.m_playerState.m_lastMeterTime = 980;
    // Stopped with nothing to show: no post, and no wake-up but a request.
    dialog.m_bDisplayPending = FALSE;
    dialog.m_bMetersMoving = FALSE;
    EXPECT_EQ(CPlayerEngine::RunPeriod(dialog), INFINITE);
    EXPECT_TRUE(posted().empty());

    // Falling meters and a display waiting to be shown go out together once
    // both are due, so the window paints once.
    dialog.m_bMetersMoving = TRUE;
    dialog.m_bDisplayPending = TRUE;
    EXPECT_EQ(CPlayerEngine::RunPeriod(dialog), 6000u);
    EXPECT_TRUE(posted().empty());
    clock.Set(1006);
    EXPECT_EQ(CPlayerEngine::RunPeriod(dialog), 16000u);
    EXPECT_EQ(posted(), (std::vector<int> { 1005, 1004 }));
    // Posts the window has not run yet are not repeated at once.
    clock.Set(1016);
    EXPECT_EQ(CPlayerEngine::RunPeriod(dialog), 6000u);
    EXPECT_TRUE(posted().empty());
    // The display is shown; the meters, still not run, are posted again.
    dialog.m_dwLastRefresh = 1016;
    dialog.m_bDisplayPending = FALSE;
    clock.Set(1022);
    EXPECT_EQ(CPlayerEngine::RunPeriod(dialog), 16000u);
    EXPECT_EQ(posted(), std::vector<int> { 1004 });
}

TEST(Handshake, ThePlayerSleepsUntilTheNextDueEvent)
{
    // The driven player lets the clock run for each returned sleep, so every
    // message goes out at its due time: 480000 us per quarter of 480 ticks is
    // one tick a millisecond.
    DrivenTickCount clock(0);
    CapturedDialog d;
    CTrack* track = d.AddTrack();
    const std::vector<LONGLONG> ticks { 0, 7, 7, 480, 481, 1000 };
    for (LONGLONG tick : ticks)
        AddAt(track, tick, 0x90, static_cast<BYTE>(tick % 128), 1);
    d.state.m_ppqn = 480;
    d.state.m_meterMap.Reset(480);
    d.state.m_usPerQuarter = 480000;
    d.state.m_length = 1200;
    d.dialog.m_metronome.m_enabled = TRUE;
    CTransport transport(d.state, nullptr, FALSE);
    ASSERT_TRUE(transport.Play());
    int periods = 0;
    const auto sent = RunDriven(d, clock, INT64_MAX, &periods);
    // Song notes go out at their ticks; the clicks at tick 1 and every
    // quarter (the accent's and beats' note-offs before each new click).
    std::vector<std::pair<LONGLONG, Message>> notes, clicks;
    for (const auto& [at, m] : sent) {
        if (m[0] == 0x90)
            notes.emplace_back(at, m);
        else if (m[0] == 0x99 && m[2] != 0)
            clicks.emplace_back(at, m);
    }
    ASSERT_EQ(notes.size(), ticks.size());
    for (size_t i = 0; i < ticks.size(); ++i)
        EXPECT_EQ(notes[i].first, ticks[i] * 1000) << i;
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[0].first, 1000);
    EXPECT_EQ(clicks[1].first, 480000);
    EXPECT_EQ(clicks[2].first, 960000);
    // The song ends by itself at its length; nothing else woke the thread.
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    EXPECT_EQ(clock.Micros(), 1200000);
    EXPECT_LE(periods, 12);

    // The sleep counts from the end of the period's own work, however long
    // that took: here every look at the clock finds it 100 us later.
    static std::atomic<LONGLONG> stepped { 0 };
    SetPerformanceCounterSource([] { return stepped += 100; });
    ASSERT_TRUE(transport.Play());
    const DWORD sleep = d.Period();
    const LONGLONG end = stepped;
    SetPerformanceCounterSource(nullptr);
    // Next comes the click at tick 1.
    EXPECT_GT(end, d.state.m_startTime);
    EXPECT_EQ(end + sleep, d.state.m_startTime + 1000);
}
