#include "PlayerTestSupport.h"

#include "platform/comm/CFakeDevice.h"
#include "player/CMainThread.h"
#include "player/CTransport.h"

#include <chrono>
#include <thread>

namespace {

// A long song on two tracks: a note every 10 ticks for a few minutes.
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

}

TEST(PlayerThread, PlaysStopsAndSeeksThroughTheHandshake)
{
    CapturedDialog d;
    BuildLongSong(d);
    d.dialog.m_pThread = new CMainThread(&d.dialog);
    ASSERT_TRUE(d.dialog.m_pThread->CreateThread(CREATE_SUSPENDED, 0, nullptr));
    EXPECT_EQ(d.dialog.m_pThread->ResumeThread(), 1u);

    d.dialog.OnButtonPlay();
    WaitFor(d.state, STATE_PLAYING);
    while (d.state.m_currentTick < 20)
        Sleep(1);
    d.dialog.OnButtonStop();
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    LONGLONG stoppedAt = d.state.m_currentTick;
    EXPECT_GE(stoppedAt, 20);
    auto sent = d.Take();
    ASSERT_GE(sent.size(), 64u + 48u + 1u);
    // The stop's all-off is the last thing sent.
    EXPECT_EQ(sent.back(), Msg({ 0xBF, 123, 0 }));

    // Play resumes where the stop left the position.
    d.dialog.OnButtonPlay();
    EXPECT_EQ(d.state.m_startTick, stoppedAt);
    WaitFor(d.state, STATE_PLAYING);

    // A seek while playing stops, moves and starts again from there.
    d.dialog.SetPosition(50000);
    WaitFor(d.state, STATE_PLAYING);
    EXPECT_GE(d.state.m_currentTick, 50000);
    d.dialog.OnButtonStop();
    d.dialog.m_pThread->Terminate();
    delete d.dialog.m_pThread;
    d.dialog.m_pThread = nullptr;
}

TEST(PlayerThread, SuspensionParksTheThreadBetweenPeriods)
{
    CapturedDialog d;
    BuildLongSong(d);
    d.dialog.m_pThread = new CMainThread(&d.dialog);
    ASSERT_TRUE(d.dialog.m_pThread->CreateThread(CREATE_SUSPENDED, 0, nullptr));
    d.dialog.m_pThread->ResumeThread();
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
    d.dialog.m_pThread->Terminate();
    delete d.dialog.m_pThread;
    d.dialog.m_pThread = nullptr;
}

TEST(PlayerThread, AStalledDeviceCannotHoldTheStop)
{
    struct Case {
        bool takesNothing;
        bool duringStart;
        const char* what;
    };
    for (const Case& c : {
             Case { false, false, "dead device, stop while playing" },
             Case { false, true, "dead device, stop during the start" },
             Case { true, false, "device takes nothing, stop while playing" },
             Case { true, true, "device takes nothing, stop during the start" },
         }) {
        auto device = CFakeDevice::Create(L"stalled");
        CapturedDialog d;
        BuildLongSong(d);
        ASSERT_TRUE(d.dialog.m_output.OpenPort(device->PortName()));
        ASSERT_TRUE(d.dialog.StartPlayerThread());
        if (!c.duringStart) {
            d.dialog.OnButtonPlay();
            WaitFor(d.state, STATE_PLAYING);
            Sleep(30);
        }
        if (c.takesNothing)
            device->TimeOutWrites(-1);
        else
            device->SetReadiness(CFakeDevice::READY_NEVER);
        if (c.duringStart) {
            d.dialog.OnButtonPlay();
            Sleep(50);
            EXPECT_EQ(d.state.m_playState, STATE_START) << c.what;
        }
        auto start = std::chrono::steady_clock::now();
        d.dialog.OnButtonStop();
        auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        // About 0.4 s at most; waiting out every byte takes 1.9 s (writes
        // that time out) to 15 s and more (a device that never signals).
        EXPECT_LT(spent.count(), 1500) << c.what;
        EXPECT_EQ(d.state.m_playState, STATE_STOPPED) << c.what;
        d.dialog.m_pThread->Terminate();
        delete d.dialog.m_pThread;
        d.dialog.m_pThread = nullptr;
    }
}
