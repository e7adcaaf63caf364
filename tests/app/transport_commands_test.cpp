#include "player/CPositionText.h"
#include "PlayerDialogFixture.h"

#include "platform/comm/CFakeDevice.h"
#include "platform/core/CMessageBoxRecorder.h"
#include "platform/core/CThreadState.h"
#include "platform/ui/CFileDialogScript.h"
#include "skin/CSkinSlider.h"
#include "song/CTrack.h"

#include <algorithm>

using MainCommands = PlayerDialog;

TEST_F(MainCommands, ReadoutsShowPositionAndLengthInBothFormats)
{
    state.m_ppqn = 384;
    state.m_usPerQuarter = 500000;
    struct Case {
        LONGLONG tick;
        const char* beat;
        const char* time;
    };
    for (const Case& c : { Case { 0, "1.1.000", "00:00:00,0" }, Case { 384, "1.2.000", "00:00:00,5" },
             Case { 1537, "2.1.001", "00:00:02,0" }, Case { 46080, "31.1.000", "00:01:00,0" }, Case { 384LL * 2 * 3600 * 3, "5401.1.000", "03:00:00,0" },
             // A damaged song's huge ticks: the largest numbers, no overflow.
             Case { 1LL << 50, "2147483647.3.256", "59652:19:24,7" } }) {
        state.m_currentTick = c.tick;
        state.m_length = c.tick;
        Refresh();
        EXPECT_EQ(Text(dialog.m_pPositionBeat), c.beat) << c.tick;
        EXPECT_EQ(Text(dialog.m_pPositionTime), c.time) << c.tick;
        EXPECT_EQ(Text(dialog.m_pLengthBeat), c.beat) << c.tick;
        EXPECT_EQ(Text(dialog.m_pLengthTime), c.time) << c.tick;
    }

    // Bars and beats follow the song's time signature: 6/8 from tick 0.
    CTrack track;
    track.AddEvent(0, 0xFF, 0, 0, 0, 0x58, 4, new BYTE[5] { 6, 3, 24, 8, 0 });
    state.m_meterMap.Build(&track, 384);
    state.m_currentTick = 1152 * 2 + 192 * 5 + 7;
    Refresh();
    EXPECT_EQ(Text(dialog.m_pPositionBeat), "3.6.007");
}

TEST_F(MainCommands, TempoAndTranspositionStepsStayInTheirRangesAndOnlyChangesPost)
{
    struct Case {
        int command;
        std::atomic<std::int32_t>& field;
        std::int32_t from, to;
    };
    for (const Case& c : { Case { 1017, state.m_bpm, 299, 300 }, Case { 1017, state.m_bpm, 300, 300 },
             Case { 1018, state.m_bpm, 31, 30 }, Case { 1018, state.m_bpm, 30, 30 },
             Case { 1015, state.m_transpose, 11, 12 }, Case { 1015, state.m_transpose, 12, 12 },
             Case { 1016, state.m_transpose, -11, -12 }, Case { 1016, state.m_transpose, -12, -12 } }) {
        c.field = c.from;
        Command(c.command);
        EXPECT_EQ(c.field, c.to) << c.command << " from " << c.from;
        EXPECT_EQ(Commands().size(), c.from == c.to ? 0u : 1u) << c.command << " from " << c.from;
    }
    // The tempo box sets the song's speed.
    EXPECT_EQ(state.m_usPerQuarter, 2000000);
    EXPECT_EQ(state.m_transpose, -12) << "a tempo step leaves the transposition";
}
TEST_F(MainCommands, AFileTempoOutsideTheRangeIsBroughtToTheLimitAtOnce)
{
    // 100000 microseconds per quarter note is 600 beats per minute, 3000000
    // is 20, 1 (a damaged file) 60000000: the song plays at the limit shown.
    struct Case {
        long tempo;
        const char* shown;
        LONGLONG usPerQuarter;
    };
    for (const Case& c : { Case { 100000, "300", 200000 }, Case { 3000000, "30", 2000000 },
             Case { 1, "300", 200000 }, Case { 333333, "180", 333333 } }) {
        Open(WriteSong("app-tempo.mid", 384, c.tempo, 3840));
        Refresh();
        EXPECT_EQ(Text(dialog.m_pTempoText), c.shown) << c.tempo;
        // The length follows the tempo the song plays at.
        EXPECT_EQ(Text(dialog.m_pLengthTime), CPositionText::Time(3840, state.m_tempoMap, 384, c.usPerQuarter).ToUtf8());
        EXPECT_EQ(state.m_usPerQuarter, c.usPerQuarter) << c.tempo;
    }
}

TEST_F(MainCommands, OpeningAFileSetsTitleStateAndReadouts)
{
    CFileDialogScript script(Wide(WriteSong("app-open.mid", 96, -1, 960)));
    state.m_transpose = 5;
    state.m_bpm = 200;
    state.m_usPerQuarter = 250000;
    state.m_currentTick = 77;
    Command(1000);
    ASSERT_EQ(script.Requests().size(), 1u);
    EXPECT_EQ(script.Requests()[0].filter.ToUtf8(),
        "Midi Files (*.mid;*.midi;*.kar;*.smf)|*.mid;*.midi;*.kar;*.smf|All Files (*.*)|*.*||");
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-open.mid");
    EXPECT_EQ(state.m_transpose, 0);
    EXPECT_EQ(state.m_bpm, 90);
    EXPECT_EQ(state.m_currentTick, 0);
    EXPECT_EQ(state.m_length, 960);
    EXPECT_EQ(Text(dialog.m_pLengthBeat), "3.3.000");
    EXPECT_EQ(Text(dialog.m_pLengthTime), "00:00:06,6");

    // A cancelled dialog changes nothing, not even the title; nor does a
    // file that fails to load, after its message.
    state.m_currentTick = 480;
    CMessageBoxRecorder boxes;
    for (const CString& answer : { CString(), Wide(std::string(TEST_BINARY_DIR) + "/app-missing.mid") }) {
        script.SetAnswer(answer);
        Command(1000);
        EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-open.mid");
        EXPECT_EQ(state.m_length, 960);
        EXPECT_EQ(state.m_currentTick, 480);
    }
    EXPECT_EQ(script.Requests().size(), 3u);
    EXPECT_EQ(boxes.Entries().size(), 1u);
    // The first dialog opened in the default folder, the later ones where
    // the song came from; only the song that loaded is a recent file.
    EXPECT_TRUE(script.Requests()[0].initialDir.IsEmpty());
    EXPECT_EQ(script.Requests()[2].initialDir.ToUtf8(), TEST_BINARY_DIR);
    EXPECT_EQ(dialog.m_recentFiles.Files(), std::vector<CString> { Wide(std::string(TEST_BINARY_DIR) + "/app-open.mid") });
}

TEST_F(MainCommands, OpenIsIgnoredWhilePlayingAndStopWaitsForThePlayerThread)
{
    PlayLongSong("app-long.mid");

    CFileDialogScript script(Wide(WriteSong("app-other.mid", 384, -1, 384)));
    Command(1000);
    EXPECT_TRUE(script.Requests().empty());
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-long.mid");
    // Steps of tempo and transposition never stop a running song.
    Command(1017);
    Command(1015);
    EXPECT_NE(state.m_playState, STATE_STOPPED);

    Command(1002);
    EXPECT_EQ(state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(EndsSilenced());
}

TEST_F(MainCommands, ADroppedMidiFileOpensAndStopsThePlayingSongOnlyOnceItHasLoaded)
{
    PlayLongSong("app-playing.mid");
    CMessageBoxRecorder boxes;
    auto drop = [&](std::vector<CString> files) {
        SendMessageW(Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(CreateDropFiles(files)), 0);
    };
    // A damaged MIDI file, preferred to the text file before it, fails:
    // the song plays on.
    const std::string damaged = std::string(TEST_BINARY_DIR) + "/app-damaged.mid";
    std::ofstream(damaged) << "RIFF";
    drop({ L"/tmp/notes.txt", Wide(damaged) });
    ASSERT_EQ(boxes.Entries().size(), 1u);
    EXPECT_NE(boxes.Entries()[0].text.Find(Wide(damaged)), -1);
    EXPECT_NE(state.m_playState, STATE_STOPPED);
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-playing.mid");

    std::string other = WriteSong("app-dropped.MID", 96, -1, 960);
    drop({ L"/tmp/notes.txt", Wide(other), L"/tmp/later.mid" });
    EXPECT_EQ(boxes.Entries().size(), 1u);
    EXPECT_EQ(state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(EndsSilenced());
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-dropped.MID");
    EXPECT_EQ(state.m_length, 960);
    std::remove(damaged.c_str());
    std::remove(other.c_str());
}

TEST_F(MainCommands, MediaKeysAndTheDesktopWidgetPlayPauseStopAndSeek)
{
    MEDIASTATUS status;
    // 500000 us per quarter at 384 ticks: a beat is half a second.
    Open(WriteSong("app-media.mid", 384, 500000, 384 * 400));
    auto key = [&](int command) {
        return SendMessageW(Hwnd(), WM_APPCOMMAND, reinterpret_cast<WPARAM>(Hwnd()), MAKELPARAM(0, command));
    };
    auto seek = [&](LONGLONG microseconds) {
        SendMessageW(Hwnd(), WM_MEDIA_SETPOSITION, 0, static_cast<LPARAM>(microseconds));
    };
    dialog.m_mediaControl.GetMediaStatus(status);
    EXPECT_EQ(status.playback, MEDIA_STOPPED);
    EXPECT_EQ(status.title.ToUtf8(), "app-media.mid");
    EXPECT_EQ(status.lengthUs, 200000000);
    EXPECT_TRUE(status.canPlay && status.canSeek);

    // A seek lands on the beat at or before the time; stopped away from the
    // start is paused.
    seek(10700000);
    EXPECT_EQ(state.m_currentTick, 384 * 21);
    dialog.m_mediaControl.GetMediaStatus(status);
    EXPECT_EQ(status.playback, MEDIA_PAUSED);
    EXPECT_EQ(status.positionUs, 10500000);

    EXPECT_TRUE(key(APPCOMMAND_MEDIA_PLAY_PAUSE));
    EXPECT_EQ(state.m_startTick, 384 * 21);
    dialog.m_mediaControl.GetMediaStatus(status);
    EXPECT_EQ(status.playback, MEDIA_PLAYING);
    WaitForState(STATE_PLAYING);
    EXPECT_TRUE(key(APPCOMMAND_MEDIA_PAUSE));
    EXPECT_EQ(state.m_playState, STATE_STOPPED);
    EXPECT_GE(state.m_currentTick, 384 * 21);
    // Stop goes back to the start; seeks past either end stay in the song.
    EXPECT_TRUE(key(APPCOMMAND_MEDIA_STOP));
    EXPECT_EQ(state.m_currentTick, 0);
    dialog.m_mediaControl.GetMediaStatus(status);
    EXPECT_EQ(status.playback, MEDIA_STOPPED);
    seek(-5);
    EXPECT_EQ(state.m_currentTick, 0);
    seek(999000000);
    EXPECT_EQ(state.m_currentTick, 384 * 400);
    EXPECT_FALSE(key(APPCOMMAND_MEDIA_STOP + 100));
}

TEST_F(MainCommands, PositionSliderSeeksToTheStartOfABeatOnRelease)
{
    Open(WriteSong("app-seek.mid", 384, -1, 10000));
    auto slider = [&](UINT id, int code, int value) {
        SendMessageW(Hwnd(), WM_SKIN_SLIDER, id, MAKELPARAM(value, code));
    };
    slider(1013, SLIDER_NOTIFY_DOWN, 500);
    slider(1013, SLIDER_NOTIFY_DRAG, 500);
    EXPECT_EQ(state.m_currentTick, 0);
    for (auto [value, tick] : { std::pair { 500, 4992 }, std::pair { 1000, 9984 }, std::pair { 0, 0 } }) {
        slider(1013, SLIDER_NOTIFY_UP, value);
        EXPECT_EQ(state.m_currentTick, tick) << value;
        EXPECT_EQ(state.m_startTick, tick) << value;
        EXPECT_EQ(state.m_playState, STATE_STOPPED);
    }
    // In 6/8 a beat is an eighth note.
    CTrack track;
    track.AddEvent(0, 0xFF, 0, 0, 0, 0x58, 4, new BYTE[5] { 6, 3, 24, 8, 0 });
    state.m_meterMap.Build(&track, 384);
    slider(1013, SLIDER_NOTIFY_UP, 520);
    EXPECT_EQ(state.m_currentTick, 5184);

    // Seeking while playing starts again from the new position.
    Command(1001);
    WaitForState(STATE_PLAYING);
    slider(1013, SLIDER_NOTIFY_UP, 500);
    EXPECT_EQ(state.m_startTick, 4992);
    EXPECT_NE(state.m_playState, STATE_STOPPED);
    Command(1002);
}
TEST_F(MainCommands, CloseWhilePlayingStopsFirstThenSavesTheDrumChannel)
{
    PlayLongSong("app-close.mid");
    state.m_drumChannel = 3;
    dialog.DestroyWindow();
    EXPECT_EQ(state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(EndsSilenced());
    EXPECT_NE(config.Read().find("\"DrumChannel\"=hex(1):34,00"), std::string::npos) << config.Read();
}

TEST_F(MainCommands, TheCloseWaitsForAPeriodThatSawTheRefreshesOn)
{
    // The player thread is held inside a period that has read the refresh
    // flag (its look at the clock comes next), until the close asks to hold
    // the thread, or has returned without asking.
    static std::atomic<bool> armed, blocked, closed, released, endedAfterClose;
    static std::atomic<DWORD> player;
    armed = blocked = closed = released = endedAfterClose = false;
    player = dialog.m_pThread->m_nThreadID;
    SetPerformanceCounterSource([] {
        CThreadState* current = CThreadState::Current();
        if (current && current->m_id == player && armed.exchange(false)) {
            blocked = true;
            while (!SuspendPending() && !closed)
                Sleep(1);
            endedAfterClose = closed.load();
            released = true;
        }
        return LONGLONG { 1000000 };
    });
    armed = true;
    state.Wake();
    while (!blocked)
        Sleep(1);
    dialog.DestroyWindow();
    closed = true;
    while (!released)
        Sleep(1);
    EXPECT_FALSE(endedAfterClose);
}

TEST_F(MainCommands, AChosenPortOpensAtOnceWhileStoppedAndAtTheNextStopWhilePlaying)
{
    auto first = CFakeDevice::Create(L"app-first");
    auto second = CFakeDevice::Create(L"app-second");
    dialog.ChoosePort(first->PortName());
    EXPECT_TRUE(first->IsOpen());

    PlayLongSong("app-port.mid");
    dialog.ChoosePort(second->PortName());
    EXPECT_TRUE(first->IsOpen()) << "a running song keeps its port";
    EXPECT_FALSE(second->IsOpen());
    Command(1002);
    EXPECT_FALSE(first->IsOpen());
    EXPECT_TRUE(second->IsOpen());

    // The choice is kept for the next start; a port named on the command
    // line wins over it for its run.
    dialog.DestroyWindow();
    EXPECT_NE(config.Read().find("\"Port\"=hex(1):66,61,6b,65,3a"), std::string::npos) << config.Read();
    for (const wchar_t* named : { L"", L"none" }) {
        CTabrinoDlg next;
        next.m_strPortOverride = named;
        ASSERT_TRUE(next.CreateHeadless(240, 268));
        ASSERT_TRUE(next.OnInitDialog());
        EXPECT_EQ(next.m_strPort, *named ? CString(named) : second->PortName());
        EXPECT_EQ(second->IsOpen(), !*named);
        next.DestroyWindow();
    }
}

TEST_F(MainCommands, AFailedWriteStopsPlaybackAndIsToldOnce)
{
    auto device = CFakeDevice::Create(L"app-failing");
    dialog.ChoosePort(device->PortName());
    PlayLongSong("app-failing.mid");
    Drain();
    CMessageBoxRecorder boxes;
    // The device goes away; the next bytes (the volume slider's) fail.
    device->SetFailure(CFakeDevice::CALL_WRITE, 5);
    dialog.m_output.SetVolume(500);
    WaitForState(STATE_STOPPED);
    std::vector<int> commands;
    for (int i = 0; i < 200 && std::find(commands.begin(), commands.end(), 1006) == commands.end(); ++i) {
        for (int id : Commands())
            commands.push_back(id);
        Sleep(1);
    }
    ASSERT_NE(std::find(commands.begin(), commands.end(), 1006), commands.end());
    Command(1006);
    Command(1006);
    auto entries = boxes.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, L"Port " + device->PortName() + L": write failed: Input/output error");
    EXPECT_EQ(entries[0].caption, L"Error");
    // The window runs on silently.
    EXPECT_FALSE(device->IsOpen());
    Command(1001);
    WaitForState(STATE_PLAYING);
    Command(1002);
    EXPECT_EQ(boxes.Entries().size(), 1u);
}
