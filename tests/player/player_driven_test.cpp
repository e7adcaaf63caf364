#include "PlayerTestSupport.h"

#include "player/CDrivenPlayer.h"
#include "player/CMainThread.h"
#include "player/CTransport.h"

namespace {

// One track, so that the order of the messages is the file's however late
// the player thread wakes: programs, notes, a controller and pitch bends on
// two channels and the drums, a tick a millisecond, 0.6 s long. The events
// at the last tick are never sent; the last ones sent come 0.2 s before it,
// so a thread that wakes late on a loaded machine still sends them all.
void BuildSong(CTabrinoDlg& dialog)
{
    auto* track = new CTrack;
    CRing::Append(dialog.m_pTracks, track);
    AddAt(track, 0, 0xC0, 19);
    AddAt(track, 0, 0xC1, 33);
    AddAt(track, 0, 0xB1, 10, 20);
    for (LONGLONG tick = 0; tick < 400; tick += 40) {
        AddAt(track, tick, 0x90, static_cast<BYTE>(60 + tick / 40), 100);
        AddAt(track, tick, 0x99, 36, 90);
        AddAt(track, tick + 7, 0xE0, 0, static_cast<BYTE>(64 + tick / 40));
        AddAt(track, tick + 13, 0x91, static_cast<BYTE>(40 + tick / 40), 80);
        AddAt(track, tick + 20, 0x80, static_cast<BYTE>(60 + tick / 40), 0);
        AddAt(track, tick + 20, 0x99, 36, 0);
        AddAt(track, tick + 33, 0x81, static_cast<BYTE>(40 + tick / 40), 0);
    }
    AddAt(track, 600, 0x90, 100, 100);
    CPlayerState& state = dialog.m_playerState;
    state.m_ppqn = 480;
    state.m_usPerQuarter = 480000;
    state.m_length = 600;
}

}

// The driven player is the player thread's engine on a clock moved by hand:
// the same bytes in the same order, ending at the song's end; a stop asked
// between two periods ends it there with the all-off, as Ctrl-C does.
TEST(DrivenPlayer, SendsWhatThePlayerThreadSends)
{
    std::vector<int> threaded;
    {
        CapturedDialog d;
        BuildSong(d.dialog);
        ASSERT_TRUE(d.dialog.StartPlayerThread());
        ASSERT_TRUE(CTransport(d.state, nullptr, TRUE).Play());
        while (d.state.m_playState != STATE_STOPPED)
            Sleep(5);
        d.dialog.m_pThread->Terminate();
        delete d.dialog.m_pThread;
        d.dialog.m_pThread = nullptr;
        threaded = d.Bytes();
    }
    // More than the start sequence and the all-off.
    ASSERT_GT(threaded.size(), (64u + 48u) * 3);

    DrivenTickCount clock(5000);
    {
        CapturedDialog d;
        BuildSong(d.dialog);
        ASSERT_TRUE(CTransport(d.state, nullptr, FALSE).Play());
        CDrivenPlayer::Run(d.dialog, clock, {});
        EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
        EXPECT_EQ(d.Bytes(), threaded);
        EXPECT_EQ(clock.Micros(), 5000000 + 600000) << "the clock stops at the song's end";
    }
    {
        CapturedDialog d;
        BuildSong(d.dialog);
        ASSERT_TRUE(CTransport(d.state, nullptr, FALSE).Play());
        clock.Set(5000);
        size_t sentBeforeStop = 0;
        int periods = 0;
        CDrivenPlayer::Run(d.dialog, clock, [&] {
            sentBeforeStop = d.Bytes().size();
            return ++periods < 4 ? TRUE : FALSE;
        });
        EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
        std::vector<int> expected(threaded.begin(), threaded.begin() + static_cast<long>(sentBeforeStop));
        expected.insert(expected.end(), threaded.end() - 48 * 3, threaded.end());
        EXPECT_EQ(d.Bytes(), expected);
        EXPECT_EQ(clock.Micros(), 5000000 + 20000) << "stopped where the fourth period stood";
    }
}
