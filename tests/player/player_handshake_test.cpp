#include "PlayerTestSupport.h"

#include "player/CTransport.h"

namespace {

const size_t START_SEQUENCE = 16 * 3 + 16;

bool IsAllOff(const std::vector<Message>& messages, size_t from)
{
    if (messages.size() < from + 48)
        return false;
    for (int n = 0; n < 16; ++n) {
        int s = 0xB0 + n;
        if (messages[from + 3 * n] != Msg({ s, 120, 0 }) || messages[from + 3 * n + 1] != Msg({ s, 121, 0 })
            || messages[from + 3 * n + 2] != Msg({ s, 123, 0 }))
            return false;
    }
    return true;
}

}

TEST(Handshake, StartSendsTheStartSequenceThenPlaysInTheSamePeriod)
{
    DrivenTickCount clock(100);
    CapturedDialog d;
    CTrack* track = d.AddTrack();
    AddAt(track, 0, 0x90, 60, 100);
    AddAt(track, 384, 0x80, 60, 0);
    d.state.m_length = 384;

    CTransport transport(d.state, nullptr, TRUE);
    ASSERT_TRUE(transport.Play());
    EXPECT_EQ(d.state.m_playState, STATE_START);
    EXPECT_FALSE(transport.Play());
    EXPECT_EQ(d.Period(), CPlayerEngine::PLAYING_PERIOD);
    EXPECT_EQ(d.state.m_playState, STATE_PLAYING);
    EXPECT_EQ(d.state.m_startTime, 100);

    auto sent = d.Take();
    ASSERT_EQ(sent.size(), START_SEQUENCE + 1);
    EXPECT_TRUE(IsAllOff(sent, 0));
    for (int n = 0; n < 16; ++n)
        EXPECT_EQ(sent[48 + n], Msg({ 0xB0 + n, 7, 100 }));
    EXPECT_EQ(sent.back(), Msg({ 0x90, 60, 100 }));
}

TEST(Handshake, StopIsAnsweredByTheNextPeriodInEveryState)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    AddAt(d.AddTrack(), 0, 0x90, 64, 90);

    // Idle: nothing to silence, the output was never started.
    d.state.m_playState = STATE_STOP;
    EXPECT_EQ(d.Period(), CPlayerEngine::IDLE_PERIOD);
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(d.Take().empty());

    // Playing: all-off, the sounding notes are forgotten, the peak stays.
    d.state.m_playState = STATE_START;
    d.Period();
    d.Skip();
    ASSERT_NE(d.state.m_channels[0].m_notes, nullptr);
    d.state.m_playState = STATE_STOP;
    EXPECT_EQ(d.Period(), CPlayerEngine::IDLE_PERIOD);
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(IsAllOff(d.Take(), 0));
    EXPECT_EQ(d.state.m_channels[0].m_notes, nullptr);
    EXPECT_EQ(d.state.m_channels[0].TakeLevel(), CChannelLevel::LevelOf(90));
    EXPECT_FALSE(d.dialog.m_output.m_started);
}

TEST(Handshake, TranspositionWhilePlayingCutsTheNotesAndPlaysOn)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    CTrack* track = d.AddTrack();
    AddAt(track, 0, 0x90, 60, 100);
    AddAt(track, 576, 0x90, 62, 100);
    AddAt(track, 2000, 0x80, 62, 0);
    d.state.m_length = 2000;
    d.state.m_playState = STATE_START;
    d.Period();
    d.Skip();

    CTransport transport(d.state, nullptr, TRUE);
    ASSERT_TRUE(transport.StepTranspose(2));
    EXPECT_EQ(d.state.m_playState, STATE_RESYNC);
    clock.Set(1000);
    EXPECT_EQ(d.Period(), CPlayerEngine::PLAYING_PERIOD);
    EXPECT_EQ(d.state.m_playState, STATE_PLAYING);
    auto sent = d.Take();
    ASSERT_EQ(sent.size(), 49u);
    EXPECT_TRUE(IsAllOff(sent, 0));
    // The cut note is not restarted; the next one goes out transposed but
    // is tracked under the song's key.
    EXPECT_EQ(sent[48], Msg({ 0x90, 64, 100 }));
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
    d.state.m_playState = STATE_START;
    d.Period();
    d.Skip();

    clock.Set(999);
    d.Period();
    EXPECT_TRUE(d.Take().empty());
    clock.Set(1000);
    d.Period();
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    auto sent = d.Take();
    ASSERT_EQ(sent.size(), 48u);
    EXPECT_TRUE(IsAllOff(sent, 0));
    // The note's entry stays, sinking, until the next stop or resync.
    EXPECT_NE(d.state.m_channels[0].m_notes, nullptr);

    // Play again: the position is at the end, so it starts from 0.
    CTransport transport(d.state, nullptr, TRUE);
    ASSERT_TRUE(transport.Play());
    EXPECT_EQ(d.state.m_startTick, 0);
}

TEST(Handshake, WithoutASongTheClockRunsUntilStopped)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    d.state.m_playState = STATE_START;
    d.Period();
    EXPECT_EQ(d.Take().size(), START_SEQUENCE);
    clock.Set(1000000);
    d.Period();
    EXPECT_EQ(d.state.m_playState, STATE_PLAYING);
    EXPECT_EQ(d.state.m_currentTick, 576000);
    EXPECT_TRUE(d.Take().empty());
}

TEST(Handshake, RefreshPostsFollowTheirIntervalsWhileEnabled)
{
    DrivenTickCount clock(1000);
    CTabrinoDlg dialog;
    ASSERT_TRUE(dialog.CreateHeadless(240, 268));
    MSG msg;
    CPlayerEngine::RunPeriod(dialog);
    EXPECT_FALSE(TakePostedMessage(dialog.m_hWnd, &msg));

    dialog.m_bRefresh = TRUE;
    dialog.m_dwLastRefresh = 990;
    dialog.m_playerState.m_lastMeterTime = 980;
    CPlayerEngine::RunPeriod(dialog);
    ASSERT_TRUE(TakePostedMessage(dialog.m_hWnd, &msg));
    EXPECT_EQ(msg.wParam, MAKEWPARAM(1004, 0));
    EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(dialog.m_hWnd));
    EXPECT_FALSE(TakePostedMessage(dialog.m_hWnd, &msg));

    clock.Set(1006);
    CPlayerEngine::RunPeriod(dialog);
    ASSERT_TRUE(TakePostedMessage(dialog.m_hWnd, &msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(msg.wParam, MAKEWPARAM(1005, 0));
    ASSERT_TRUE(TakePostedMessage(dialog.m_hWnd, &msg));
    EXPECT_EQ(msg.wParam, MAKEWPARAM(1004, 0));

    // A dialog without a window loses its posts quietly.
    CTabrinoDlg windowless;
    windowless.m_bRefresh = TRUE;
    CPlayerEngine::RunPeriod(windowless);
}
