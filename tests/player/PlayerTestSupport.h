#pragma once

#include "app/CTabrinoDlg.h"
#include "platform/core/DrivenTickCount.h"
#include "player/CPlayerEngine.h"
#include "song/CRing.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using Message = std::vector<int>;
using Messages = std::vector<Message>;

// Stand-ins for the output stage's fixed groups: the all-off of every
// channel (48 messages) and the volume broadcast that follows a start.
const Message ALL_OFF { 0 };
const Message VOLUMES { 7 };

// A dialog without a window whose output goes to a capture file, read back
// as messages (a status byte starts each).
class CapturedDialog {
public:
    CapturedDialog()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::string(TEST_BINARY_DIR) + "/capture-" + info->test_suite_name() + "-" + info->name() + ".txt";
        EXPECT_TRUE(dialog.m_output.OpenPort((L"capture:" + std::wstring(m_path.begin(), m_path.end())).c_str()));
    }
    ~CapturedDialog()
    {
        dialog.m_output.ClosePort();
        std::remove(m_path.c_str());
    }

    std::vector<int> Bytes() const
    {
        std::vector<int> bytes;
        std::ifstream in(m_path);
        long long time;
        std::string hex;
        while (in >> time >> hex)
            bytes.push_back(std::stoi(hex, nullptr, 16));
        return bytes;
    }

    // Messages written since the last call, each all-off and volume
    // broadcast as one stand-in.
    Messages Take()
    {
        const std::vector<int> bytes = Bytes();
        Messages messages;
        for (size_t i = m_consumed; i < bytes.size(); ++i) {
            if (bytes[i] >= 0x80 || messages.empty())
                messages.push_back({});
            messages.back().push_back(bytes[i]);
        }
        m_consumed = bytes.size();
        auto control = [&](size_t at, int channel, int controller) {
            return at < messages.size() && messages[at].size() == 3 && messages[at][0] == 0xB0 + channel
                && messages[at][1] == controller;
        };
        Messages squashed;
        for (size_t i = 0; i < messages.size(); ++i) {
            bool allOff = true;
            bool volumes = true;
            for (size_t n = 0; n < 48; ++n)
                allOff = allOff && control(i + n, static_cast<int>(n / 3), n % 3 == 0 ? 120 : n % 3 == 1 ? 121 : 123);
            for (size_t n = 0; n < 16; ++n)
                volumes = volumes && control(i + n, static_cast<int>(n), 7);
            squashed.push_back(allOff ? ALL_OFF : volumes ? VOLUMES : messages[i]);
            i += allOff ? 47 : volumes ? 15 : 0;
        }
        return squashed;
    }

    CTrack* AddTrack()
    {
        auto* track = new CTrack;
        CRing::Append(dialog.m_pTracks, track);
        return track;
    }

    // One period the way the player thread runs it, without its sleep.
    DWORD Period() { return CPlayerEngine::RunPeriod(dialog); }

    // One tick a millisecond: 480 ticks a quarter at 480000 us.
    void TickPerMs()
    {
        state.m_ppqn = 480;
        state.m_meterMap.Reset(480);
        state.m_usPerQuarter = 480000;
    }

    CTabrinoDlg dialog;
    CPlayerState& state { dialog.m_playerState };

private:
    std::string m_path;
    size_t m_consumed { 0 };
};

// Adds an event at an absolute tick (ticks must not decrease).
inline CMidiEvent* AddAt(CTrack* track, LONGLONG tick, BYTE status, BYTE data1 = 0, BYTE data2 = 0, BYTE meta = 0)
{
    const LONGLONG last = track->m_firstEvent ? track->GetLastTick() : 0;
    return track->AddEvent(static_cast<DWORD>(tick - last), status, data1, data2, 0, meta, 0, nullptr);
}
