#pragma once

#include "tests/PostedMessages.h"
#include "tests/SmfBytes.h"
#include "tests/TempConfigHome.h"
#include "app/CTabrinoDlg.h"
#include "platform/core/DrivenTickCount.h"
#include "player/CMainThread.h"
#include "skin/CSkinText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

// A Standard MIDI File with one track: an optional tempo, a note on at 0 and
// its note off at lastTick.
inline std::string WriteSong(const std::string& name, int division, long tempo, long lastTick)
{
    std::vector<unsigned char> track;
    if (tempo >= 0)
        track.insert(track.end(), { 0x00, 0xFF, 0x51, 0x03, static_cast<unsigned char>(tempo >> 16),
                                      static_cast<unsigned char>(tempo >> 8), static_cast<unsigned char>(tempo) });
    track.insert(track.end(), { 0x00, 0x90, 60, 100 });
    PutVarLen(track, static_cast<unsigned long>(lastTick));
    track.insert(track.end(), { 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00 });
    std::vector<unsigned char> file { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1,
        static_cast<unsigned char>(division >> 8), static_cast<unsigned char>(division) };
    PutTrackChunk(file, track);
    std::string path = std::string(TEST_BINARY_DIR) + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
        static_cast<std::streamsize>(file.size()));
    return path;
}

inline CString Wide(const std::string& text) { return CString::FromUtf8(text); }

// The main dialog on a window without a screen, initialised as at start-up
// with its output going to a capture file, its clock driven by the test and
// its settings in a temporary folder.
class PlayerDialog : public ::testing::Test {
protected:
    TempConfigHome config;
    DrivenTickCount clock { 1000 };
    std::string capture;
    CTabrinoDlg dialog;
    CPlayerState& state { dialog.m_playerState };

    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        capture = std::string(TEST_BINARY_DIR) + "/app-" + info->test_suite_name() + "-" + info->name() + ".txt";
        dialog.m_strPortOverride = Wide("capture:" + capture);
        ASSERT_TRUE(dialog.CreateHeadless(240, 268));
        ASSERT_TRUE(dialog.OnInitDialog());
        Drain();
    }
    void TearDown() override
    {
        if (dialog.m_hWnd)
            dialog.DestroyWindow();
        std::remove(capture.c_str());
    }

    HWND Hwnd() { return dialog.m_hWnd; }
    std::vector<MSG> Drain() { return DrainPostedMessages(Hwnd()); }
    // Runs what was posted to the window, as its message loop would.
    void Pump()
    {
        for (const MSG& msg : Drain())
            SendMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    }
    // Waits until the files opened are read, then takes them in.
    void Loaded()
    {
        for (int i = 0; i < 5000 && dialog.m_loader.Reading(); ++i)
            Sleep(1);
        ASSERT_FALSE(dialog.m_loader.Reading());
        Pump();
    }
    // Waits until the player thread has answered a stop, then runs its
    // notice, which it may not have posted yet, and whatever was posted.
    void Stopped()
    {
        ASSERT_TRUE(state.WaitStopped(5000));
        dialog.OnPlayerStopped();
        Pump();
    }
    void Command(int id) { SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(Hwnd())); }
    // Runs the display refresh once it is due.
    void Refresh()
    {
        clock.Advance(16);
        dialog.OnUpdateDisplay();
    }
    std::string Text(CSkinText* field) { return field->m_strText.ToUtf8(); }
    void Open(const std::string& path) { dialog.OpenFile(Wide(path), Wide(path.substr(path.rfind('/') + 1))); }
    // Opens a song of 400 beats of half a second and plays it.
    void PlayLongSong(const std::string& name)
    {
        Open(WriteSong(name, 384, 500000, 384 * 400));
        Command(1001);
        WaitForState(STATE_PLAYING);
    }
    void WaitForState(std::int32_t wanted)
    {
        for (int i = 0; i < 5000 && state.m_playState != wanted; ++i)
            Sleep(1);
        ASSERT_EQ(state.m_playState, wanted);
    }
    // TRUE when the capture file (a time and a hex byte a line) ends with the
    // last of the messages that silence every channel at a stop.
    bool EndsSilenced()
    {
        std::ifstream in(capture);
        std::vector<std::string> sent { "", "", "" };
        for (std::string time, hex; in >> time >> hex;)
            sent.push_back(hex);
        return std::vector<std::string>(sent.end() - 3, sent.end()) == std::vector<std::string> { "BF", "7B", "00" };
    }
};
