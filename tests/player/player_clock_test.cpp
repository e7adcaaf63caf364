#include "PlayerTestSupport.h"

#include "player/CTransport.h"

namespace {

// Starts playback at startTick with the driven clock at now.
void StartAt(CapturedDialog& d, DrivenTickCount& clock, DWORD now, LONGLONG startTick = 0)
{
    clock.Set(now);
    d.state.m_startTick = startTick;
    d.state.m_currentTick = startTick;
    d.state.m_playState = STATE_START;
    d.Period();
}

}

TEST(Clock, DefaultsGive576TicksPerSecond)
{
    EXPECT_EQ(CPlayerState::TicksAfter(0, 1000, 384, 666666), 576);
    EXPECT_EQ(CPlayerState::TicksAfter(100, 1000, 384, 666666), 676);

    DrivenTickCount clock(5000);
    CapturedDialog d;
    StartAt(d, clock, 5000, 1000);
    EXPECT_EQ(d.state.m_playState, STATE_PLAYING);
    EXPECT_EQ(d.state.m_currentTick, 1000);
    clock.Advance(1000);
    d.Period();
    EXPECT_EQ(d.state.m_currentTick, 1576);
    EXPECT_EQ(d.state.m_lastTime, 6000);
}

TEST(Clock, FollowsTheFilesDivisionAndTempo)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    d.state.m_ppqn = 96;
    d.state.m_usPerQuarter = 500000;
    StartAt(d, clock, 0);
    clock.Set(1000);
    d.Period();
    EXPECT_EQ(d.state.m_currentTick, 192);
    // 1 ms at 960 ticks per quarter and 120 beats per minute is 1.92 ticks:
    // the result is truncated, not rounded.
    EXPECT_EQ(CPlayerState::TicksAfter(0, 1, 960, 500000), 1);
    // Large anchors and positions stay exact in 64 bits.
    EXPECT_EQ(CPlayerState::TicksAfter(0, 3600000, 32767, 60000), 1966020000);
}

TEST(Clock, KeepsRunningWhenTheTickCountWraps)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    StartAt(d, clock, 0xFFFFFF00u);
    clock.Set(0x100);
    d.Period();
    EXPECT_EQ(d.state.m_currentTick, 512 * 384000LL / 666666);
}

TEST(Clock, UnusableTimingFallsBackToTheDefaults)
{
    EXPECT_EQ(CPlayerState::TicksAfter(0, 1000, 0, 666666), 576);
    EXPECT_EQ(CPlayerState::TicksAfter(0, 1000, 384, 0), 576);
}

TEST(Clock, TempoChangeKeepsThePositionContinuous)
{
    DrivenTickCount clock(10000);
    CapturedDialog d;
    StartAt(d, clock, 10000);
    clock.Advance(2000);
    d.Period();
    LONGLONG before = d.state.m_currentTick;
    ASSERT_EQ(before, 1152);

    CTransport transport(d.state, nullptr, FALSE);
    ASSERT_TRUE(transport.SetTempo(120));
    EXPECT_EQ(d.state.m_usPerQuarter, 500000);
    EXPECT_EQ(d.state.m_bpm, 120);
    // Sampled again at the same moment, the position has not jumped...
    d.Period();
    EXPECT_NEAR(static_cast<double>(d.state.m_currentTick), static_cast<double>(before), 1.0);
    // ...and from there it moves at the new tempo: 768 ticks a second.
    clock.Advance(1000);
    d.Period();
    EXPECT_NEAR(static_cast<double>(d.state.m_currentTick), static_cast<double>(before + 768), 1.0);

    // Slowing down far below works the same way.
    before = d.state.m_currentTick;
    ASSERT_TRUE(transport.SetTempo(30));
    clock.Advance(1000);
    d.Period();
    EXPECT_NEAR(static_cast<double>(d.state.m_currentTick), static_cast<double>(before + 192), 1.0);
}

TEST(Clock, TempoStepsAreClampedAndOnlyChangesPost)
{
    CTabrinoDlg dialog;
    ASSERT_TRUE(dialog.CreateHeadless(240, 268));
    CPlayerState& state = dialog.m_playerState;
    CTransport transport(state, dialog.m_hWnd, FALSE);
    MSG msg;

    state.SetTempo(300);
    EXPECT_FALSE(transport.StepTempo(1));
    EXPECT_FALSE(TakePostedMessage(dialog.m_hWnd, &msg));
    EXPECT_TRUE(transport.StepTempo(-1));
    EXPECT_EQ(state.m_bpm, 299);
    ASSERT_TRUE(TakePostedMessage(dialog.m_hWnd, &msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(msg.wParam, MAKEWPARAM(1005, 0));
    EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(dialog.m_hWnd));

    // A file tempo outside the range goes to the nearer limit at the first
    // press of either button.
    state.m_bpm = 600;
    EXPECT_TRUE(transport.StepTempo(1));
    EXPECT_EQ(state.m_bpm, 300);
    EXPECT_EQ(state.m_usPerQuarter, 200000);
    state.m_bpm = 20;
    EXPECT_TRUE(transport.StepTempo(1));
    EXPECT_EQ(state.m_bpm, 30);
    state.SetTempo(30);
    EXPECT_FALSE(transport.StepTempo(-1));

    EXPECT_TRUE(transport.SetTranspose(12));
    EXPECT_FALSE(transport.StepTranspose(1));
    EXPECT_TRUE(transport.SetTranspose(-40));
    EXPECT_EQ(state.m_transpose, -12);
    // A transposition change while stopped requests no re-synchronisation.
    EXPECT_EQ(state.m_playState, STATE_STOPPED);
}
