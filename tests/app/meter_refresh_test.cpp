#include "PlayerDialogFixture.h"

#include "player/CPlayerEngine.h"
#include "skin/CSkinMeter.h"

#include "player/CSoundingNote.h"

#include <algorithm>

using MeterRefresh = PlayerDialog;

TEST_F(MeterRefresh, FeedsTheLevelOfEveryChannelIntoTheMeter)
{
    state.m_lastMeterTime = 1000;
    state.m_channels[3].AddNote(60, 127);
    state.m_channels[12].AddNote(64, 64);

    // Not yet due: the levels stay with their channels.
    clock.Advance(15);
    dialog.OnUpdateMeters();
    EXPECT_EQ(dialog.m_pMeter->m_levels[3], -10000);

    clock.Advance(1);
    dialog.OnUpdateMeters();
    EXPECT_EQ(state.m_lastMeterTime, 1016);
    EXPECT_EQ(dialog.m_pMeter->m_levels[3], 0);
    EXPECT_EQ(dialog.m_pMeter->m_levels[12], CChannelLevel::LevelOf(64));
    EXPECT_EQ(dialog.m_pMeter->m_peaks[3], 0);
    for (int channel : { 0, 9, 15 })
        EXPECT_EQ(dialog.m_pMeter->m_levels[channel], -10000) << channel;

    // Taking the level ages the sounding notes, once per refresh.
    EXPECT_EQ(state.m_channels[3].m_notes->m_value, 126);
    clock.Advance(16);
    dialog.OnUpdateMeters();
    EXPECT_EQ(state.m_channels[3].m_notes->m_value, 125);
    EXPECT_LT(dialog.m_pMeter->m_levels[3], 0);
}

TEST_F(MeterRefresh, KeepsRunningAcrossTheWrapOfTheTickCount)
{
    // The last refresh ran 8 ms before the 32-bit tick count wrapped.
    clock.Set(0xFFFFFFF8u);
    dialog.OnUpdateMeters();
    EXPECT_EQ(state.m_lastMeterTime, 0xFFFFFFF8LL);
    state.m_channels[5].AddNote(40, 127);
    clock.Set(7);
    dialog.OnUpdateMeters();
    EXPECT_EQ(dialog.m_pMeter->m_levels[5], -10000);
    clock.Set(8);
    dialog.OnUpdateMeters();
    EXPECT_EQ(dialog.m_pMeter->m_levels[5], 0);
    EXPECT_EQ(state.m_lastMeterTime, 8);
}

TEST_F(MeterRefresh, PlayerThreadPostsBothRefreshesAcrossTheWrap)
{
    // The thread's own periods are stopped for the test, which runs one.
    dialog.m_pThread->SuspendThread();
    Drain();
    clock.Set(0xFFFFFFFAu);
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

    // Once refresh posts are off, the thread posts nothing.
    dialog.m_bRefresh = FALSE;
    clock.Set(100);
    CPlayerEngine::RunPeriod(dialog);
    EXPECT_TRUE(Drain().empty());
    dialog.m_pThread->ResumeThread();
}
