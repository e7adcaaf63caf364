#pragma once

#include "app/CTabrinoDlg.h"
#include "platform/comm/CFakeDevice.h"
#include "platform/core/DrivenTickCount.h"
#include "player/CPlayerEngine.h"
#include "song/CRing.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <vector>

using Message = std::vector<int>;
using Messages = std::vector<Message>;

// Stand-ins for the output stage's groups, whose bytes its own tests check:
// the all-off (48 messages) and the volume broadcast of a start (16).
const Message ALL_OFF { 0 };
const Message VOLUMES { 7 };

// A dialog without a window whose output goes to a fake device.
class CapturedDialog {
public:
    CapturedDialog()
        : m_device(CFakeDevice::Create(CString::FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())))
    {
        EXPECT_TRUE(dialog.m_output.OpenPort(m_device->PortName()));
    }
    ~CapturedDialog() { dialog.m_output.ClosePort(); }

    std::vector<int> Bytes() const
    {
        const std::vector<BYTE> values = m_device->Values();
        return std::vector<int>(values.begin(), values.end());
    }

    // The messages written since the last call (a status byte starts each).
    Messages Take()
    {
        const std::vector<int> bytes = Bytes();
        Messages messages;
        for (size_t i = m_taken; i < bytes.size(); ++i) {
            if (bytes[i] >= 0x80 || messages.empty())
                messages.push_back({});
            messages.back().push_back(bytes[i]);
        }
        m_taken = bytes.size();
        Messages squashed;
        for (size_t i = 0; i < messages.size(); ++i) {
            // Each group runs through the 16 channels from channel 1.
            auto at = [&](size_t n, Message m) { return i + n < messages.size() && messages[i + n] == m; };
            size_t group = 1;
            if (at(0, { 0xB0, 120, 0 }) && at(1, { 0xB0, 121, 0 }))
                group = 48;
            else if (i + 15 < messages.size() && at(0, { 0xB0, 7, messages[i].back() })
                && at(15, { 0xBF, 7, messages[i + 15].back() }))
                group = 16;
            squashed.push_back(group == 48 ? ALL_OFF : group == 16 ? VOLUMES : messages[i]);
            i += group - 1;
        }
        return squashed;
    }

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

private:
    std::shared_ptr<CFakeDevice> m_device;
    size_t m_taken { 0 };
};

// Adds an event at an absolute tick (ticks must not decrease).
inline CMidiEvent* AddAt(CTrack* track, LONGLONG tick, BYTE status, BYTE data1 = 0, BYTE data2 = 0, BYTE meta = 0)
{
    const LONGLONG last = track->m_firstEvent ? track->GetLastTick() : 0;
    return track->AddEvent(static_cast<DWORD>(tick - last), status, data1, data2, 0, meta, 0, nullptr);
}
