#include "PlayerTestSupport.h"

#include "platform/comm/CFakeDevice.h"
#include "player/CMainThread.h"

#include <chrono>

namespace {

// A long song on two tracks, a note every 10 ticks for a few minutes, and
// the player thread started on it.
void BuildLongSong(CapturedDialog& d)
{
    for (int t = 0; t < 2; ++t) {
        CTrack* track = d.AddTrack();
        for (LONGLONG tick = 0; tick < 100000; tick += 10) {
            AddAt(track, tick, static_cast<BYTE>(0x90 | t), 60, 100);
            AddAt(track, tick + 5, static_cast<BYTE>(0x80 | t), 60, 0);
        }
    }
    d.state.m_length = 100005;
}

void WaitFor(CPlayerState& state, std::int32_t code)
{
    while (state.m_playState != code)
        Sleep(1);
}

void EndThread(CapturedDialog& d)
{
    d.dialog.m_pThread->Terminate();
    delete d.dialog.m_pThread;
    d.dialog.m_pThread = nullptr;
}

}

TEST(PlayerThread, SuspensionParksTheThreadBetweenPeriods)
{
    CapturedDialog d;
    BuildLongSong(d);
    ASSERT_TRUE(d.dialog.StartPlayerThread());
    d.dialog.OnButtonPlay();
    WaitFor(d.state, STATE_PLAYING);

    // The loader's use of suspension: free the song under the thread's
    // feet. Sanitizer builds catch any period still walking the old tracks.
    for (int round = 0; round < 10; ++round) {
        EXPECT_EQ(d.dialog.m_pThread->SuspendThread(), 0u);
        LONGLONG sampled = d.state.m_lastTime;
        CRing::Clear(d.dialog.m_pTracks);
        BuildLongSong(d);
        Sleep(5);
        EXPECT_EQ(d.state.m_lastTime, sampled);
        EXPECT_EQ(d.dialog.m_pThread->ResumeThread(), 1u);
    }
    d.dialog.OnButtonStop();
    EndThread(d);
}

// The output stage's own tests cover both ways a device stalls; here each
// meets one of the two states the thread may be in when the stop comes.
TEST(PlayerThread, AStalledDeviceCannotHoldTheStop)
{
    for (const bool duringStart : { false, true }) {
        auto device = CFakeDevice::Create(L"stalled");
        CapturedDialog d;
        BuildLongSong(d);
        ASSERT_TRUE(d.dialog.m_output.OpenPort(device->PortName()));
        ASSERT_TRUE(d.dialog.StartPlayerThread());
        if (duringStart) {
            device->TimeOutWrites(-1);
            d.dialog.OnButtonPlay();
            Sleep(50);
            EXPECT_EQ(d.state.m_playState, STATE_START);
        } else {
            d.dialog.OnButtonPlay();
            WaitFor(d.state, STATE_PLAYING);
            Sleep(30);
            device->SetReadiness(CFakeDevice::READY_NEVER);
        }
        auto start = std::chrono::steady_clock::now();
        d.dialog.OnButtonStop();
        auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        // About 0.4 s at most; waiting out every byte takes 1.9 s (writes
        // that time out) to 15 s and more (a device that never signals).
        EXPECT_LT(spent.count(), 1500) << duringStart;
        EXPECT_EQ(d.state.m_playState, STATE_STOPPED) << duringStart;
        EndThread(d);
    }
}
