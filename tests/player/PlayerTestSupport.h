#pragma once

#include "tests/FakeDeviceMessages.h"
#include "app/CTabrinoDlg.h"
#include "platform/core/DrivenTickCount.h"
#include "player/CPlayerEngine.h"
#include "song/CRing.h"
#include "song/CTrack.h"

inline Messages operator+(Messages left, const Messages& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

// A dialog without a window whose output goes to a fake device.
class CapturedDialog : public FakeDeviceMessages {
public:
    CapturedDialog() { EXPECT_TRUE(dialog.m_output.OpenPort(device->PortName())); }

    CTrack* AddTrack()
    {
        auto* track = new CTrack;
        CRing::Append(dialog.m_pTracks, track);
        return track;
    }

    // One period as the player thread runs it, without its sleep.
    DWORD Period() { return CPlayerEngine::RunPeriod(dialog); }

    // One tick a millisecond: 480 ticks a quarter of 480000 us.
    void TickPerMs()
    {
        state.m_ppqn = 480;
        state.m_meterMap.Reset(480);
        state.m_usPerQuarter = 480000;
    }

    CTabrinoDlg dialog;
    CPlayerState& state { dialog.m_playerState };
};

// Adds an event at an absolute tick (ticks must not decrease); a meta
// event takes its payload.
inline CMidiEvent* AddAt(CTrack* track, LONGLONG tick, BYTE status, BYTE data1 = 0, BYTE data2 = 0, BYTE meta = 0,
    std::vector<BYTE> payload = {})
{
    const LONGLONG last = track->m_firstEvent ? track->GetLastTick() : 0;
    return track->AddEvent(DWORD(tick - last), status, data1, data2, meta, payload.data(), DWORD(payload.size()));
}
