#include "PlayerDialogFixture.h"

#include "platform/core/CThreadState.h"
#include "platform/gdi/CClientDC.h"
#include "skin/CSkinSlider.h"
#include "song/CTrack.h"
#include "tests/support/CFakeDevice.h"
#include "tests/support/CFileDialogScript.h"
#include "tests/support/CMessageBoxRecorder.h"

#include <iterator>

using MainCommands = PlayerDialog;

// Gives the song a 6/8 meter from tick 0: a beat is an eighth note.
static void SixEight(CPlayerState& state)
{
    CTrack track;
    const BYTE sixEight[] = { 6, 3, 24, 8 };
    track.AddEvent(0, 0xFF, 0, 0, 0x58, sixEight, 4);
    state.m_meterMap.Build(&track, 384);
}

// The open command, what a failed or cancelled one leaves, the readouts and
// the limits of tempo and transposition, set or read from a file.
TEST_F(MainCommands, OpenReadoutsAndTheLimitsOfTempoAndTransposition)
{
    CFileDialogScript script(Wide(WriteSong("app-open.mid", 384, -1, 3840)));
    Refresh();
    EXPECT_EQ(Text(dialog.m_pTempoText), "90") << "before any song";
    state.m_transpose = 5;
    state.m_bpm = 200;
    state.m_currentTick = 77;
    Command(1000);
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - loading app-open.mid\u2026") << "read apart from the window";
    Loaded();
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-open.mid");
    EXPECT_EQ(state.m_transpose, 0);
    EXPECT_EQ(state.m_bpm, 120) << "a song without a tempo";
    EXPECT_EQ(state.m_currentTick, 0);
    EXPECT_EQ(Text(dialog.m_pLengthBeat), "3.3.000");
    EXPECT_EQ(Text(dialog.m_pLengthTime), "00:00:05,0");
    // A cancelled dialog changes nothing, nor does a file that fails to
    // load, after its message; the later dialogs open where the song was.
    state.m_currentTick = 480;
    CMessageBoxRecorder boxes;
    for (const CString& answer : { CString(), Wide(std::string(TEST_BINARY_DIR) + "/app-missing.mid") }) {
        script.SetAnswer(answer);
        Command(1000);
        Loaded();
        EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-open.mid");
        EXPECT_EQ(state.m_length, 3840);
        EXPECT_EQ(state.m_currentTick, 480);
    }
    ASSERT_EQ(script.Requests().size(), 3u);
    EXPECT_EQ(boxes.Entries().size(), 1u);
    EXPECT_TRUE(script.Requests()[0].initialDir.IsEmpty());
    EXPECT_EQ(script.Requests()[2].initialDir.ToUtf8(), TEST_BINARY_DIR);

    // Position and length as bar.beat.tick and as time, up to a damaged
    // song's huge ticks; the bars follow the meter.
    state.m_usPerQuarter = 500000;
    for (auto [tick, beat, time] : { std::tuple { 384LL, "1.2.000", "00:00:00,5" }, std::tuple { 1537LL, "2.1.001", "00:00:02,0" },
             std::tuple { 1LL << 50, "733007751851.3.256", "407226528:48:21,3" } }) {
        state.m_currentTick = tick;
        state.m_length = tick;
        Refresh();
        for (CSkinText* field : { dialog.m_pPositionBeat, dialog.m_pLengthBeat })
            EXPECT_EQ(Text(field), beat) << tick;
        for (CSkinText* field : { dialog.m_pPositionTime, dialog.m_pLengthTime })
            EXPECT_EQ(Text(field), time) << tick;
    }
    // Too long for their boxes, the readouts are shortened from their end,
    // never cut at the boxes' edges.
    CClientDC window(&dialog);
    CDC skin;
    skin.CreateCompatibleDC(nullptr);
    CBitmap* stock = skin.SelectObject(&dialog.m_bmpNormal);
    for (CSkinText* field : { dialog.m_pLengthBeat, dialog.m_pLengthTime }) {
        for (int y = field->m_rect.top; y < field->m_rect.bottom; ++y) {
            for (int x : { field->m_rect.left, field->m_rect.right - 1 })
                EXPECT_EQ(window.GetPixel(x, y), skin.GetPixel(x, y)) << Text(field) << " at " << x << "," << y;
        }
    }
    skin.SelectObject(stock);
    SixEight(state);
    state.m_currentTick = 1152 * 2 + 192 * 5 + 7;
    Refresh();
    EXPECT_EQ(Text(dialog.m_pPositionBeat), "3.6.007");

    for (auto [command, field, from, to] : { std::tuple { 1017, &state.m_bpm, 299, 300 }, std::tuple { 1017, &state.m_bpm, 300, 300 },
             std::tuple { 1018, &state.m_bpm, 31, 30 }, std::tuple { 1018, &state.m_bpm, 30, 30 },
             std::tuple { 1015, &state.m_transpose, 11, 12 }, std::tuple { 1015, &state.m_transpose, 12, 12 },
             std::tuple { 1016, &state.m_transpose, -11, -12 }, std::tuple { 1016, &state.m_transpose, -12, -12 } }) {
        *field = from;
        Command(command);
        EXPECT_EQ(*field, to) << command << " from " << from;
    }
    EXPECT_EQ(state.m_usPerQuarter, 2000000) << "the tempo box sets the song's speed";
    // The song as its file gives it: what was set on it above is forgotten.
    dialog.ForgetSong();
    // A file's tempo shows rounded; one outside the range (600 and 20 beats
    // a minute) plays at the limit shown, one without a tempo at 120; the
    // length of its 10 beats follows.
    for (auto [tempo, shown, length] : { std::tuple { 100000L, "300", "00:00:02,0" },
             std::tuple { 3000000L, "30", "00:00:20,0" }, std::tuple { 666667L, "90", "00:00:06,6" },
             std::tuple { 631579L, "95", "00:00:06,3" }, std::tuple { -1L, "120", "00:00:05,0" } }) {
        Open(WriteSong("app-tempo.mid", 384, tempo, 3840));
        Refresh();
        EXPECT_EQ(Text(dialog.m_pTempoText), shown) << tempo;
        EXPECT_EQ(Text(dialog.m_pLengthTime), length) << tempo;
    }
}

// Files are read apart from the window; of opens asked for while one is
// read, the last one is the song, and a failed read gives the title back.
TEST_F(MainCommands, TheLastOpenWinsAndAFailedReadLeavesTheTitle)
{
    Open(WriteSong("app-before.mid", 384, -1, 960));
    CMessageBoxRecorder boxes;
    dialog.BeginOpen(Wide(WriteSong("app-first.mid", 384, -1, 3840)), L"app-first.mid");
    dialog.BeginOpen(Wide(std::string(TEST_BINARY_DIR) + "/app-missing.mid"), L"app-missing.mid");
    dialog.BeginOpen(Wide(WriteSong("app-last.mid", 384, -1, 1920)), L"app-last.mid");
    Loaded();
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-last.mid");
    EXPECT_EQ(state.m_length, 1920);
    boxes.Clear();
    dialog.BeginOpen(Wide(std::string(TEST_BINARY_DIR) + "/app-missing.mid"), L"app-missing.mid");
    Loaded();
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-last.mid");
    EXPECT_EQ(boxes.Entries().size(), 1u);
    // The read's notice taken the moment it is posted (a busy machine runs
    // the window before the reading thread has ended): the title is back.
    for (int n = 0; n < 200; ++n) {
        dialog.BeginOpen(Wide(std::string(TEST_BINARY_DIR) + "/app-missing.mid"), L"app-missing.mid");
        std::vector<MSG> posted;
        while (posted.empty())
            posted = Drain();
        for (const MSG& msg : posted)
            SendMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        ASSERT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-last.mid") << "try " << n;
    }
}

// While a song plays: open is ignored and steps go on playing; a dropped
// file that fails leaves the song playing, one that loads or the close
// stops it first.
TEST_F(MainCommands, WhilePlayingOnlyADroppedSongThatLoadsAndTheCloseStopIt)
{
    PlayLongSong("app-playing.mid");
    CFileDialogScript script(L"");
    Command(1000);
    EXPECT_TRUE(script.Requests().empty());
    Command(1017);
    Command(1015);
    EXPECT_NE(state.m_playState, STATE_STOPPED);

    CMessageBoxRecorder boxes;
    auto drop = [&](std::vector<CString> files) {
        SendMessageW(Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(CreateDropFiles(files)), 0);
    };
    // The MIDI file is preferred to the text file before it.
    const std::string damaged = std::string(TEST_BINARY_DIR) + "/app-damaged.mid";
    std::ofstream(damaged) << "RIFF";
    drop({ L"/tmp/notes.txt", Wide(damaged) });
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - loading app-damaged.mid\u2026") << "read apart from the window";
    Loaded();
    ASSERT_EQ(boxes.Entries().size(), 1u);
    EXPECT_NE(boxes.Entries()[0].text.Find(Wide(damaged)), -1);
    EXPECT_NE(state.m_playState, STATE_STOPPED);
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-playing.mid");

    // An RMID file is a MIDI file too.
    std::ifstream song(WriteSong("app-dropped.mid", 96, -1, 96 * 400), std::ios::binary);
    const std::vector<unsigned char> rmid = WrapRmid({ std::istreambuf_iterator<char>(song), {} });
    const std::string dropped = std::string(TEST_BINARY_DIR) + "/app-dropped.RMI";
    std::ofstream(dropped, std::ios::binary).write(reinterpret_cast<const char*>(rmid.data()), long(rmid.size()));
    drop({ L"/tmp/notes.txt", Wide(dropped), L"/tmp/later.mid" });
    Loaded();
    Stopped();
    EXPECT_EQ(boxes.Entries().size(), 1u);
    EXPECT_EQ(state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(EndsSilenced());
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - app-dropped.RMI");
    EXPECT_EQ(state.m_length, 96 * 400);
    std::remove(damaged.c_str());
    std::remove(dropped.c_str());
    // The close stops the song first.
    Command(1001);
    WaitForState(STATE_PLAYING);
    dialog.DestroyWindow();
    EXPECT_EQ(state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(EndsSilenced());
}

TEST_F(MainCommands, MediaKeysTheDesktopWidgetAndTheSliderSeekToTheStartOfABeat)
{
    // 500000 us per quarter at 384 ticks: a beat is half a second.
    Open(WriteSong("app-media.mid", 384, 500000, 384 * 400));
    MEDIASTATUS status;
    auto key = [&](int command) { return SendMessageW(Hwnd(), WM_APPCOMMAND, 0, MAKELPARAM(0, command)); };
    auto seek = [&](LONGLONG us) { SendMessageW(Hwnd(), WM_MEDIA_SETPOSITION, 0, static_cast<LPARAM>(us)); };
    auto slider = [&](int code, int value) { SendMessageW(Hwnd(), WM_SKIN_SLIDER, 1013, MAKELPARAM(value, code)); };
    auto playback = [&] { return dialog.m_mediaControl.GetMediaStatus(status), status.playback; };
    EXPECT_EQ(playback(), MEDIA_STOPPED);
    EXPECT_EQ(status.title.ToUtf8(), "app-media.mid");
    EXPECT_EQ(status.lengthUs, 200000000);
    // Stopped away from the start is paused.
    seek(10700000);
    EXPECT_EQ(state.m_currentTick, 384 * 21);
    EXPECT_EQ(playback(), MEDIA_PAUSED);
    EXPECT_EQ(status.positionUs, 10500000);

    EXPECT_TRUE(key(APPCOMMAND_MEDIA_PLAY_PAUSE));
    EXPECT_EQ(state.m_startTick, 384 * 21);
    EXPECT_EQ(playback(), MEDIA_PLAYING);
    WaitForState(STATE_PLAYING);
    // A seek with the slider while playing plays on from there.
    slider(SLIDER_NOTIFY_UP, 334);
    EXPECT_EQ(state.m_startTick, 133 * 384);
    EXPECT_NE(state.m_playState, STATE_STOPPED);
    EXPECT_TRUE(key(APPCOMMAND_MEDIA_PAUSE));
    const LONGLONG paused = state.m_currentTick;
    EXPECT_GE(paused, 133 * 384);
    Stopped();
    EXPECT_EQ(state.m_currentTick, paused) << "the position stays where the pause came";
    SixEight(state);
    slider(SLIDER_NOTIFY_UP, 334);
    EXPECT_EQ(state.m_currentTick, 267 * 192);
    // Stop goes back to the start; seeks past either end stay in the song.
    EXPECT_TRUE(key(APPCOMMAND_MEDIA_STOP));
    Stopped();
    EXPECT_EQ(state.m_currentTick, 0);
    EXPECT_EQ(playback(), MEDIA_STOPPED);
    seek(-5);
    EXPECT_EQ(state.m_currentTick, 0);
    seek(999000000);
    EXPECT_EQ(state.m_currentTick, 384 * 400);

    // The desktop's volume is the master volume, its rate the tempo against
    // the song's 120, held within the tempo box's 30..300.
    SendMessageW(Hwnd(), WM_MEDIA_SETVOLUME, 0, 250);
    EXPECT_EQ(dialog.m_output.m_volume, 250);
    EXPECT_EQ(dialog.m_pVolumeSlider->m_nValue, 250);
    for (auto [millionths, bpm, rate] : { std::tuple { 1500000, 180, 1.5 }, std::tuple { 9000000, 300, 2.5 },
             std::tuple { 1, 30, 0.25 } }) {
        SendMessageW(Hwnd(), WM_MEDIA_SETRATE, 0, millionths);
        EXPECT_EQ(state.m_bpm, bpm);
        EXPECT_NEAR((playback(), status.rate), rate, 1e-5);
    }
    EXPECT_DOUBLE_EQ(status.minimumRate, 0.25);
    EXPECT_DOUBLE_EQ(status.maximumRate, 2.5);
    EXPECT_EQ(status.volume, 250);
}

TEST_F(MainCommands, AtTheSongsEndThePositionIsItsLengthAndPlaybackStopped)
{
    Open(WriteSong("app-end.mid", 384, 500000, 384 * 8));
    Command(1001);
    WaitForState(STATE_PLAYING);
    Refresh();
    // The player thread wakes late, past the end.
    clock.Advance(4321);
    state.Wake();
    WaitForState(STATE_STOPPED);
    EXPECT_EQ(state.m_currentTick, 384 * 8);
    MEDIASTATUS status;
    dialog.m_mediaControl.GetMediaStatus(status);
    EXPECT_EQ(status.playback, MEDIA_STOPPED);
    // The end asks for one more refresh, which shows the length.
    EXPECT_TRUE(dialog.m_bDisplayPending);
    Refresh();
    EXPECT_EQ(Text(dialog.m_pPositionBeat), Text(dialog.m_pLengthBeat));
    EXPECT_EQ(Text(dialog.m_pPositionTime), "00:00:04,0");
}

TEST_F(MainCommands, TheCloseWaitsForAPeriodThatSawTheRefreshesOn)
{
    // The player thread is held inside a period that has read the refresh
    // flag (its look at the clock comes next), until the close asks to hold
    // the thread, or has returned without asking.
    static std::atomic<bool> armed, blocked, closed, released, endedAfterClose;
    static std::atomic<DWORD> player;
    static CPlayerState* playing;
    armed = blocked = closed = released = endedAfterClose = false;
    player = dialog.m_pThread->m_nThreadID;
    playing = &state;
    SetPerformanceCounterSource([] {
        CThreadState* current = CThreadState::Current();
        if (current && current->m_id == player && armed.exchange(false)) {
            blocked = true;
            // Held until the close asks the thread to stop, which it answers
            // in its next period.
            while (playing->m_playState != STATE_STOP && !closed)
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

// A chosen port opens at once while stopped, at the next stop while
// playing, and again at the next start; a write that fails on it stops
// playback and is told once, and the window runs on without it.
TEST_F(MainCommands, AChosenPortOpensWhenStoppedClosesWhenAWriteFailsAndIsKept)
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
    Stopped();
    EXPECT_FALSE(first->IsOpen());
    EXPECT_TRUE(second->IsOpen());

    Command(1001);
    WaitForState(STATE_PLAYING);
    CMessageBoxRecorder boxes;
    // The device goes away; the next bytes (the volume slider's) fail.
    second->SetFailure(CFakeDevice::CALL_WRITE, 5);
    dialog.m_output.SetVolume(500);
    WaitForState(STATE_STOPPED);
    bool posted = false;
    for (int i = 0; i < 200 && !posted; ++i, Sleep(1)) {
        for (const MSG& msg : Drain())
            posted = posted || (msg.message == WM_COMMAND && LOWORD(msg.wParam) == 1006);
    }
    ASSERT_TRUE(posted);
    Command(1006);
    Command(1006);
    ASSERT_EQ(boxes.Entries().size(), 1u);
    EXPECT_EQ(boxes.Entries()[0].text, L"Port " + second->PortName() + L": write failed: Input/output error");
    EXPECT_FALSE(second->IsOpen());

    // The port and the drum channel are kept for the next start, which
    // opens the file of the command line.
    state.m_drumChannel = 11;
    dialog.DestroyWindow();
    CTabrinoDlg next;
    next.m_strStartFile = Wide(WriteSong("app-start.mid", 96, 250000, 960));
    ASSERT_TRUE(next.CreateHeadless(240, 268));
    ASSERT_TRUE(next.OnInitDialog());
    while (next.m_loader.Reading())
        Sleep(1);
    for (const MSG& msg : DrainPostedMessages(next.m_hWnd))
        SendMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    EXPECT_TRUE(second->IsOpen());
    EXPECT_EQ(next.m_playerState.m_drumChannel, 11);
    EXPECT_EQ(next.GetWindowText().ToUtf8(), "TabrinoCE - app-start.mid");
    next.DestroyWindow();
}
