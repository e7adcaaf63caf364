#include "PlayerDialogFixture.h"

#include "player/CPlayerEngine.h"
#include "player/CSoundingNote.h"
#include "skin/CSkinMeter.h"

#include <algorithm>

using MeterRefresh = PlayerDialog;

TEST_F(MeterRefresh, FeedsEveryChannelsLevelIntoTheMeterEveryFifteenMilliseconds)
{
    // The last refresh ran 8 ms before the 32-bit tick count wrapped: the
    // refresh goes on at its pace across the wrap.
    clock.Set(0xFFFFFFF8u);
    dialog.OnUpdateMeters();
    state.m_channels[3].AddNote(60, 127);
    state.m_channels[12].AddNote(64, 64);
    clock.Set(7);
    dialog.OnUpdateMeters();
    EXPECT_EQ(dialog.m_pMeter->m_levels[3], -10000) << "not yet due";
    clock.Set(8);
    dialog.OnUpdateMeters();
    EXPECT_EQ(state.m_lastMeterTime, 8);
    EXPECT_EQ(dialog.m_pMeter->m_levels[3], 0);
    EXPECT_EQ(dialog.m_pMeter->m_peaks[3], 0);
    EXPECT_EQ(dialog.m_pMeter->m_levels[12], CChannelLevel::LevelOf(64));
    EXPECT_EQ(dialog.m_pMeter->m_levels[9], -10000);
    // Taking the level ages the sounding notes, once per refresh.
    EXPECT_EQ(state.m_channels[3].m_notes->m_value, 126);
    clock.Advance(16);
    dialog.OnUpdateMeters();
    EXPECT_EQ(state.m_channels[3].m_notes->m_value, 125);
}

TEST_F(MeterRefresh, PlayerThreadPostsBothRefreshesAcrossTheWrap)
{
    // The thread's own periods are stopped for the test, which runs one.
    dialog.m_pThread->SuspendThread();
    Drain();
    dialog.m_dwLastRefresh = 0xFFFFFFFAu;
    state.m_lastMeterTime = 0xFFFFFFFALL;
    dialog.m_bDisplayPending = TRUE;
    dialog.m_bMetersMoving = TRUE;
    clock.Set(9);
    CPlayerEngine::RunPeriod(dialog);
    EXPECT_TRUE(Drain().empty());
    clock.Set(10);
    CPlayerEngine::RunPeriod(dialog);
    std::vector<int> posted;
    for (const MSG& msg : Drain())
        posted.push_back(LOWORD(msg.wParam));
    std::sort(posted.begin(), posted.end());
    EXPECT_EQ(posted, (std::vector<int> { 1004, 1005 }));
    dialog.m_pThread->ResumeThread();
}

TEST_F(MeterRefresh, ADisplayRefreshThatComesTooSoonIsLeftForThePlayerThreadToPost)
{
    Refresh();
    state.m_currentTick = 384;
    clock.Advance(15);
    dialog.OnUpdateDisplay();
    EXPECT_EQ(Text(dialog.m_pPositionBeat), "1.1.000");
    EXPECT_TRUE(dialog.m_bDisplayPending);
    clock.Advance(1);
    dialog.OnUpdateDisplay();
    EXPECT_EQ(Text(dialog.m_pPositionBeat), "1.2.000");
    EXPECT_FALSE(dialog.m_bDisplayPending);
}
