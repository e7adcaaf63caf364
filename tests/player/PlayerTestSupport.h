#pragma once

#include "app/CTabrinoDlg.h"
#include "platform/core/DrivenTickCount.h"
#include "player/CDrivenPlayer.h"
#include "platform/core/TickCount.h"
#include "platform/ui/WindowHandle.h"
#include "player/CPlayerEngine.h"
#include "song/CRing.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using Message = std::vector<int>;

inline Message Msg(std::initializer_list<int> bytes) { return Message(bytes); }

// A dialog without a window whose output goes to a capture file; the bytes
// written so far are read back as messages (a status byte starts each).
class CapturedDialog {
public:
    CapturedDialog()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::string(TEST_BINARY_DIR) + "/capture-" + info->test_suite_name() + "-" + info->name() + ".txt";
        std::wstring port = L"capture:" + std::wstring(m_path.begin(), m_path.end());
        EXPECT_TRUE(dialog.m_output.OpenPort(port.c_str()));
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

    // Messages written since the last call.
    std::vector<Message> Take()
    {
        std::vector<int> bytes = Bytes();
        std::vector<Message> messages;
        for (size_t i = m_consumed; i < bytes.size(); ++i) {
            if (bytes[i] >= 0x80 || messages.empty())
                messages.push_back({});
            messages.back().push_back(bytes[i]);
        }
        m_consumed = bytes.size();
        return messages;
    }

    // Drops the start sequence (all-off and volume) and the like.
    void Skip() { Take(); }

    CTrack* AddTrack()
    {
        auto* track = new CTrack;
        CRing::Append(dialog.m_pTracks, track);
        return track;
    }

    // Runs one period the way the player thread would, without its sleep.
    DWORD Period() { return CPlayerEngine::RunPeriod(dialog); }

    // Asks for a start at `tick` and runs the period that answers it.
    void Start(LONGLONG tick = 0)
    {
        state.m_startTick = tick;
        state.m_currentTick = tick;
        state.m_playState = STATE_START;
        Period();
    }

    CTabrinoDlg dialog;
    CPlayerState& state { dialog.m_playerState };

private:
    std::string m_path;
    size_t m_consumed { 0 };
};

// Runs the song on the driven clock (CDrivenPlayer) until the thread has
// nothing more to do or the clock reaches `until` (microseconds); at most
// 1000 periods. A run cut off at the limit is then stopped, its all-off left
// untaken. Returns each message with the time it went out, and the number of
// periods.
inline std::vector<std::pair<LONGLONG, Message>> RunDriven(
    CapturedDialog& d, DrivenTickCount& clock, LONGLONG until, int* periods = nullptr, BOOL* cutOffPlaying = nullptr)
{
    std::vector<std::pair<LONGLONG, Message>> sent;
    int count = 0;
    BOOL cutOff = FALSE;
    auto take = [&] {
        ++count;
        std::vector<Message> taken = d.Take();
        // A period at or past the limit is not part of the run.
        if (clock.Micros() >= until || count >= 1000) {
            cutOff = TRUE;
            return FALSE;
        }
        for (const Message& m : taken)
            sent.emplace_back(clock.Micros(), m);
        return TRUE;
    };
    CDrivenPlayer::Run(d.dialog, clock, take);
    if (!cutOff)
        take();
    if (periods)
        *periods = count;
    // The limit came while the song still played (the run then stopped it).
    if (cutOffPlaying)
        *cutOffPlaying = cutOff;
    return sent;
}

// Adds a channel event at an absolute tick (ticks must not decrease).
inline CMidiEvent* AddAt(CTrack* track, LONGLONG tick, BYTE status, BYTE data1 = 0, BYTE data2 = 0)
{
    LONGLONG last = track->m_firstEvent ? track->GetLastTick() : 0;
    return track->AddEvent(static_cast<DWORD>(tick - last), status, data1, data2, 0, 0, 0, nullptr);
}

inline CMidiEvent* AddMeta(CTrack* track, LONGLONG tick, BYTE type)
{
    LONGLONG last = track->m_firstEvent ? track->GetLastTick() : 0;
    return track->AddEvent(static_cast<DWORD>(tick - last), 0xFF, 0, 0, 0, type, 0, nullptr);
}
