#include "PlayerTestSupport.h"

#include "platform/comm/CFakeDevice.h"
#include "player/CTransport.h"

#include <map>
#include <mutex>

namespace {

// A song of 480 ticks per quarter: a quarter note at 500000 us, from tick
// 960 at 250000 us, a note at 960 and one at 1440, length 5000.
void BuildTempoSong(CapturedDialog& d)
{
    CTrack* track = d.AddTrack();
    auto tempo = [track](LONGLONG tick, LONGLONG value) {
        CMidiEvent* event = AddMeta(track, tick, 0x51);
        event->m_payload = new BYTE[4] { static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 8),
            static_cast<BYTE>(value), 0 };
        event->m_payloadLength = 3;
    };
    tempo(0, 500000);
    tempo(960, 250000);
    AddAt(track, 960, 0x90, 60, 100);
    AddAt(track, 1440, 0x90, 62, 100);
    AddAt(track, 5000, 0x80, 62, 0);
    d.state.m_ppqn = 480;
    CTransport(d.state, nullptr, FALSE).AdoptSong(d.dialog.m_pTracks);
}

}

TEST(Clock, DefaultsGive576TicksPerSecond)
{
    DrivenTickCount clock(5000);
    CapturedDialog d;
    d.state.m_length = 100000;
    d.Start(1000);
    EXPECT_EQ(d.state.m_playState, STATE_PLAYING);
    EXPECT_EQ(d.state.m_currentTick, 1000);
    clock.Advance(1000);
    d.Period();
    EXPECT_EQ(d.state.m_currentTick, 1576);
    EXPECT_EQ(d.state.m_lastTime, 6000000);
    // The clock counts microseconds, not whole milliseconds.
    clock.AdvanceMicros(1750);
    d.Period();
    EXPECT_EQ(d.state.m_currentTick, 1577);

    // It runs on where the 32-bit tick count wraps.
    clock.Set(0xFFFFFF00u);
    d.Start();
    clock.Advance(512);
    d.Period();
    EXPECT_EQ(d.state.m_currentTick, 512 * 384000LL / 666666);
}

TEST(Clock, FollowsTheTempoMapScaledByTheTempoBox)
{
    DrivenTickCount clock(10000);
    CapturedDialog d;
    BuildTempoSong(d);
    EXPECT_EQ(d.state.m_bpm, 120);
    EXPECT_EQ(d.state.m_usPerQuarter, 500000);
    EXPECT_EQ(d.state.m_length, 5000);
    d.Start();
    d.Skip();
    for (DWORD ms : { 1000u, 1250u }) {
        clock.Set(10000 + ms);
        d.Period();
        EXPECT_EQ(d.state.m_currentTick, ms == 1000 ? 960 : 1440);
    }
    EXPECT_EQ(d.Take(), (std::vector<Message> { Msg({ 0x90, 60, 100 }), Msg({ 0x90, 62, 100 }) }));

    // At 60 beats per minute the whole map plays at half speed.
    d.state.m_playState = STATE_STOP;
    d.Period();
    CTransport(d.state, nullptr, FALSE).SetTempo(60);
    EXPECT_EQ(d.state.m_usPerQuarter, 1000000);
    clock.Set(20000);
    d.Start();
    clock.Set(22500);
    d.Period();
    EXPECT_EQ(d.state.m_currentTick, 1440);
}

TEST(Clock, TempoChangesKeepThePositionEvenRightAfterAStart)
{
    // A fresh state has never sampled the clock: a change between the
    // start and the thread's first sample must go by the start alone.
    DrivenTickCount clock(873000);
    CPlayerState fresh;
    fresh.SetTempo(100);
    fresh.AnchorClock(CPlayerState::Now(), 1000);
    fresh.SetTempo(120);
    LONGLONG previous = 0;
    EXPECT_EQ(fresh.AdvanceClock(CPlayerState::Now(), &previous), 1000);

    // While playing, the position goes on from where it is at the new
    // tempo (120: 768 ticks a second, 30: 192).
    CapturedDialog d;
    d.state.m_length = 40000;
    CTransport transport(d.state, nullptr, FALSE);
    clock.Set(900000);
    d.Start(1000);
    ASSERT_TRUE(transport.SetTempo(120));
    clock.Advance(1500);
    d.Period();
    ASSERT_EQ(d.state.m_currentTick, 2152);
    ASSERT_TRUE(transport.SetTempo(30));
    d.Period();
    EXPECT_EQ(d.state.m_currentTick, 2152);
    clock.Advance(1000);
    d.Period();
    EXPECT_EQ(d.state.m_currentTick, 2344);
}

TEST(Clock, TheClockStartsOnceTheControllersAreReplayed)
{
    // Time passes while the start replays a long controller history on a
    // slow device; the song must start after it, not catch up in a burst.
    static std::shared_ptr<CFakeDevice> device;
    static std::map<LONGLONG, size_t> written;
    static std::mutex lock;
    static LONGLONG now = 0;
    device = CFakeDevice::Create(L"clock-replay");
    written.clear();
    // Every look at the clock finds it a millisecond later and notes how
    // many bytes the device has received by then.
    SetPerformanceCounterSource([] {
        std::lock_guard<std::mutex> guard(lock);
        now += 1000;
        written[now] = device->Values().size();
        return now;
    });
    {
        CTabrinoDlg dialog;
        ASSERT_TRUE(dialog.m_output.OpenPort(device->PortName()));
        auto* track = new CTrack;
        CRing::Append(dialog.m_pTracks, track);
        for (LONGLONG tick = 0; tick < 2000; tick += 10)
            AddAt(track, tick, 0xB0, 11, static_cast<BYTE>(tick % 128));
        AddAt(track, 2000, 0x90, 60, 100);
        AddAt(track, 2001, 0x90, 61, 100);
        dialog.m_playerState.m_length = 3000;
        dialog.m_playerState.m_startTick = 2000;
        dialog.m_playerState.m_playState = STATE_START;
        CPlayerEngine::RunPeriod(dialog);
        ASSERT_EQ(dialog.m_playerState.m_playState, STATE_PLAYING);
        // Start sequence (48 + 16 messages), 200 controllers, then the note
        // at 2000 only.
        const size_t replayed = (64 + 200) * 3;
        EXPECT_EQ(written[dialog.m_playerState.m_startTime], replayed);
        EXPECT_EQ(device->Values().size(), replayed + 3);
        dialog.m_output.ClosePort();
    }
    SetPerformanceCounterSource(nullptr);
    device.reset();
}
