// The window's playlist through the capture port on the driven clock: the
// songs' notes in the list's order after the pause's timer, a missing
// song marked and passed over, next and previous, repeat one, the desktop's
// view of it, the list kept across a restart and a damaged list file, and
// the songs' titles and lengths read in the background.

#include "tests/app/PlayerDialogFixture.h"
#include "tests/support/CMessageBoxRecorder.h"
#include "app/FaceCommands.h"
#include "platform/registry/CRegistryFile.h"
#include "platform/ui/CListBoxControl.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Timer.h"
#include "platform/ui/WindowPlacement.h"

#include <filesystem>
#include <fstream>

namespace {

// A song of two beats at 120 bpm (one second): a note of its own at the
// start, held for a beat.
std::string WriteNoteSong(const std::string& name, unsigned char note)
{
    std::vector<unsigned char> track { 0x00, 0x90, note, 100, 0x83, 0x00, 0x80, note, 0, 0x83, 0x00, 0xFF, 0x2F, 0x00 };
    std::vector<unsigned char> file { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0x80 };
    PutTrackChunk(file, track);
    std::string path = std::string(TEST_BINARY_DIR) + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
        static_cast<std::streamsize>(file.size()));
    return path;
}

// The notes started in the capture, with their times in microseconds.
std::vector<std::pair<long long, int>> NoteOns(const std::string& capture)
{
    std::ifstream in(capture);
    std::vector<std::pair<long long, int>> bytes;
    for (std::string time, hex; in >> time >> hex;)
        bytes.emplace_back(std::stoll(time), std::stoi(hex, nullptr, 16));
    std::vector<std::pair<long long, int>> ons;
    for (size_t i = 0; i + 2 < bytes.size(); ++i) {
        if (bytes[i].second == 0x90 && bytes[i + 2].second > 0)
            ons.emplace_back(bytes[i].first, bytes[i + 1].second);
    }
    return ons;
}

class Playlist : public PlayerDialog {
protected:
    // Plays the song in place to its end and lets the window see it end.
    void PlayToEnd()
    {
        if (state.m_playState == STATE_STOPPED)
            Command(ID_PLAY);
        WaitForState(STATE_PLAYING);
        Refresh();
        clock.Advance(1500);
        state.Wake();
        WaitForState(STATE_STOPPED);
        Refresh();
    }
    // Lets the pause run out: the timer fires and the next song loads.
    void PauseEnds(DWORD ms)
    {
        clock.Advance(ms);
        PostDueTimers(Hwnd());
        Pump();
        AllLoaded();
    }
    // A song that fails to load starts the next one's load.
    void AllLoaded()
    {
        do
            Loaded();
        while (dialog.m_loader.Reading());
    }
    int Current() { return dialog.m_playlist.m_list.Current(); }
    // Waits until the background reads are done and runs their notices
    // alone: nothing the window opened meanwhile takes its place.
    void ReadsArrive()
    {
        for (int i = 0; i < 5000 && dialog.m_playlist.m_reader.Reading(); ++i)
            Sleep(1);
        ASSERT_FALSE(dialog.m_playlist.m_reader.Reading());
        for (const MSG& msg : Drain()) {
            if (msg.message == WM_COMMAND && LOWORD(msg.wParam) == CPlaylistReader::READ)
                SendMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        }
    }
};

}

TEST_F(Playlist, SongsPlayInOrderWithThePauseAMissingOneIsPassedOverAndNextAndPreviousMove)
{
    CMessageBoxRecorder boxes;
    const std::string a = WriteNoteSong("list-a.mid", 60), b = WriteNoteSong("list-b.mid", 62),
                      c = WriteNoteSong("list-c.mid", 64);
    dialog.m_playlist.m_gap = 2000;
    dialog.m_playlist.OpenSongs({ Wide(a), Wide(std::string(TEST_BINARY_DIR) + "/list-missing.mid"), Wide(b), Wide(c) });
    Loaded();
    ASSERT_EQ(Current(), 0);
    PlayToEnd();
    // Nothing before the pause is over.
    PauseEnds(1990);
    EXPECT_EQ(Current(), 0);
    PauseEnds(20);
    EXPECT_EQ(Current(), 2) << "the missing song is passed over";
    EXPECT_TRUE(dialog.m_playlist.m_list.Entries()[1].failed);
    EXPECT_TRUE(boxes.Entries().empty()) << "a song the list came to by itself is not told in a box";
    PlayToEnd();
    std::vector<std::pair<long long, int>> ons = NoteOns(capture);
    ASSERT_EQ(ons.size(), 2u);
    EXPECT_EQ(ons[0].second, 60);
    EXPECT_EQ(ons[1].second, 62);

    MEDIASTATUS status;
    dialog.m_mediaControl.GetMediaStatus(status);
    EXPECT_TRUE(status.canGoNext && status.canGoPrevious);
    // Next from the desktop plays on while playing; previous passes the
    // missing song over backwards.
    SendMessageW(Hwnd(), WM_APPCOMMAND, 0, MAKELPARAM(0, APPCOMMAND_MEDIA_NEXTTRACK));
    AllLoaded();
    EXPECT_EQ(Current(), 3);
    PlayToEnd();
    PauseEnds(3000);
    EXPECT_EQ(Current(), 3);
    dialog.m_mediaControl.GetMediaStatus(status);
    EXPECT_FALSE(status.canGoNext) << "repeat off: the last song has no next";
    Command(ID_PREVIOUS_SONG);
    AllLoaded();
    EXPECT_EQ(Current(), 2);
    Command(ID_PREVIOUS_SONG);
    AllLoaded();
    EXPECT_EQ(Current(), 0);
    std::vector<int> notes;
    for (const auto& on : NoteOns(capture))
        notes.push_back(on.second);
    EXPECT_EQ(notes, (std::vector<int> { 60, 62, 64 })) << "nothing plays after the last song, nor on keys while stopped";
    // A single file handed over that cannot be read is told, and the list
    // stays.
    dialog.m_playlist.OpenSongs({ Wide(std::string(TEST_BINARY_DIR) + "/list-missing.mid") });
    AllLoaded();
    EXPECT_EQ(boxes.Entries().size(), 1u);
    EXPECT_EQ(dialog.m_playlist.m_list.Size(), 4);
    EXPECT_EQ(Current(), 0);
}

// Next and previous open each song with what the player remembers for it.
TEST_F(Playlist, EachSongComesBackWithWhatWasSetForIt)
{
    const std::string a = WriteNoteSong("list-memory-a.mid", 65), b = WriteNoteSong("list-memory-b.mid", 67);
    dialog.m_playlist.OpenSongs({ Wide(a), Wide(b) });
    AllLoaded();
    dialog.SetTranspose(-2);
    Command(ID_NEXT_SONG);
    AllLoaded();
    EXPECT_EQ(state.m_transpose, 0);
    Command(ID_PREVIOUS_SONG);
    AllLoaded();
    EXPECT_EQ(state.m_transpose, -2);
    EXPECT_EQ(dialog.GetWindowText().ToUtf8(), "TabrinoCE - list-memory-a.mid (remembered)");
}

TEST_F(Playlist, RepeatOnePlaysTheSongAgainAndStopAfterThisSongStops)
{
    const std::string a = WriteNoteSong("list-r1.mid", 60), b = WriteNoteSong("list-r2.mid", 62);
    dialog.m_playlist.m_gap = 0;
    dialog.m_playlist.OpenSongs({ Wide(a), Wide(b) });
    Loaded();
    SendMessageW(Hwnd(), WM_MEDIA_SETREPEAT, 0, MEDIA_REPEAT_TRACK);
    PlayToEnd();
    Loaded();
    EXPECT_EQ(Current(), 0);
    PlayToEnd();
    Loaded();
    Command(ID_REPEAT_ALL);
    Command(ID_STOP_AFTER_SONG);
    PlayToEnd();
    Loaded();
    std::vector<int> notes;
    for (const auto& on : NoteOns(capture))
        notes.push_back(on.second);
    EXPECT_EQ(notes, (std::vector<int> { 60, 60, 60 }));
    EXPECT_EQ(state.m_playState, STATE_STOPPED);
    MEDIASTATUS status;
    dialog.m_mediaControl.GetMediaStatus(status);
    EXPECT_EQ(status.repeat, MEDIA_REPEAT_PLAYLIST);
    EXPECT_TRUE(status.canGoNext);
}

TEST_F(Playlist, TheListAndItsCurrentSongSurviveARestartAndADamagedFileIsKeptAside)
{
    const std::string a = WriteNoteSong("list-k1.mid", 60), b = WriteNoteSong("list-k2.mid", 62);
    dialog.m_playlist.OpenSongs({ Wide(a), Wide(b) });
    Loaded();
    Command(ID_NEXT_SONG);
    Loaded();
    Command(ID_SHUFFLE);
    dialog.DestroyWindow();
    const std::string file = CPlaylistPlayer::ListFilePath();
    {
        CTabrinoDlg next;
        next.m_strPortOverride = L"none";
        ASSERT_TRUE(next.CreateHeadless(240, 268));
        ASSERT_TRUE(next.OnInitDialog());
        for (int i = 0; i < 5000 && next.m_loader.Reading(); ++i)
            Sleep(1);
        for (const MSG& msg : DrainPostedMessages(next.m_hWnd))
            SendMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        ASSERT_EQ(next.m_playlist.m_list.Size(), 2);
        EXPECT_EQ(next.m_playlist.m_list.Current(), 1);
        EXPECT_TRUE(next.m_playlist.m_list.Shuffle());
        EXPECT_EQ(next.m_strPath.ToUtf8(), b) << "the current song is in place again";
        next.DestroyWindow();
    }
    // A list file that is not one: kept aside, told, and the list starts
    // empty; the next close writes a good one.
    std::ofstream(file, std::ios::binary) << "\x7f" "ELF garbage\n";
    CMessageBoxRecorder boxes;
    CTabrinoDlg third;
    third.m_strPortOverride = L"none";
    ASSERT_TRUE(third.CreateHeadless(240, 268));
    ASSERT_TRUE(third.OnInitDialog());
    EXPECT_EQ(third.m_playlist.m_list.Size(), 0);
    ASSERT_EQ(boxes.Entries().size(), 1u);
    EXPECT_NE(boxes.Entries()[0].text.ToUtf8().find("damaged"), std::string::npos);
    std::string kept;
    EXPECT_EQ(CRegistryFile::ReadText(file + ".damaged", kept), CRegistryFile::LoadResult::Loaded);
    EXPECT_EQ(kept, "\x7f" "ELF garbage\n");
    third.DestroyWindow();
    std::string written;
    ASSERT_EQ(CRegistryFile::ReadText(file, written), CRegistryFile::LoadResult::Loaded);
    EXPECT_EQ(written.rfind("#EXTM3U\n", 0), 0u);
}

TEST_F(Playlist, TheWindowShowsTheSongsPlaysOnADoubleClickAndTakesMovesDeletesAndDrops)
{
    const std::string a = WriteNoteSong("list-w1.mid", 60), b = WriteNoteSong("list-w2.mid", 62),
                      c = WriteNoteSong("list-w3.mid", 64);
    dialog.m_playlist.OpenSongs({ Wide(a), Wide(b), Wide(c) });
    AllLoaded();
    Command(ID_PLAYLIST_WINDOW);
    CPlaylistWindow& window = dialog.m_playlistWindow;
    ASSERT_TRUE(window.IsOpen());
    auto* list = dynamic_cast<CListBoxControl*>(window.GetDlgItem(CPlaylistWindow::IDC_SONGS));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Count(), 3);
    EXPECT_EQ(list->Text(0), L"1. list-w1.mid\t0:01") << "the song read shows its length";
    ReadsArrive();
    EXPECT_EQ(list->Text(1), L"2. list-w2.mid\t0:01");
    EXPECT_EQ(list->Marked(), 0);
    // The title column takes the width the length leaves, at any size.
    for (const LONG width : { 440, 800 }) {
        RECT place { 0, 0, width, 300 };
        window.MoveWindow(&place);
        RECT client {};
        window.GetClientRect(&client);
        ASSERT_EQ(list->TabStops().size(), 2u);
        EXPECT_GE(list->TabStops()[0], client.right / kPixelsPerDialogUnit - 70) << width;
        EXPECT_LE(list->TabStops()[1], client.right / kPixelsPerDialogUnit) << width;
    }

    list->DoubleClickByUser(2);
    AllLoaded();
    WaitForState(STATE_PLAYING);
    EXPECT_EQ(Current(), 2);
    dialog.OnButtonStop();
    Stopped();
    Refresh();
    EXPECT_EQ(list->Marked(), 2);
    // Dragged to the top, the song that plays stays current.
    list->MoveByUser(2, 0);
    EXPECT_EQ(dialog.m_playlist.m_list.Entries()[0].path.ToUtf8(), c);
    EXPECT_EQ(Current(), 0);
    EXPECT_EQ(list->Text(0), L"1. list-w3.mid\t0:01");
    list->SelectByUser(1);
    list->KeyByUser(VK_DELETE);
    ASSERT_EQ(dialog.m_playlist.m_list.Size(), 2);
    EXPECT_EQ(dialog.m_playlist.m_list.Entries()[1].path.ToUtf8(), b);
    window.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(CreateDropFiles({ Wide(a) })), 0);
    ASSERT_EQ(list->Count(), 3);
    EXPECT_EQ(list->Text(2), L"3. list-w1.mid\t") << "a drop adds at the end";
    ReadsArrive();
    EXPECT_EQ(list->Text(2), L"3. list-w1.mid\t0:01");
    EXPECT_EQ(CPlaylistWindow::LineText(4, L"x.mid", -1, true), L"4. x.mid (cannot be read)\t--");
    Command(ID_PLAYLIST_WINDOW);
    EXPECT_FALSE(window.IsOpen());
}

TEST_F(Playlist, EverySongsTitleAndLengthAreReadUnopenedAndEachLandsOnItsOwnPathWhateverTheEdits)
{
    // Named "Intro", 1.5 s; unnamed, 3 s; damaged.
    std::vector<unsigned char> track { 0x00, 0xFF, 0x03, 0x05, 'I', 'n', 't', 'r', 'o', 0x00, 0x90, 60, 100, 0x89, 0x00,
        0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00 };
    std::vector<unsigned char> bytes { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0x80 };
    PutTrackChunk(bytes, track);
    const std::string named = std::string(TEST_BINARY_DIR) + "/read-named.mid";
    std::ofstream(named, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
        static_cast<std::streamsize>(bytes.size()));
    const std::string plain = WriteSong("read-plain.mid", 384, 500000, 384 * 6);
    const std::string damaged = std::string(TEST_BINARY_DIR) + "/read-damaged.mid";
    std::ofstream(damaged, std::ios::binary) << "MThd\0\0";
    Command(ID_PLAYLIST_WINDOW);
    auto* lines = dynamic_cast<CListBoxControl*>(dialog.m_playlistWindow.GetDlgItem(CPlaylistWindow::IDC_SONGS));
    ASSERT_NE(lines, nullptr);

    dialog.m_playlist.OpenSongs({ Wide(named), Wide(plain), Wide(damaged) });
    ReadsArrive();
    const auto& entries = dialog.m_playlist.m_list.Entries();
    EXPECT_TRUE(dialog.m_strPath.IsEmpty()) << "no song was put in place";
    EXPECT_EQ(entries[0].micros, 1500000);
    EXPECT_EQ(entries[1].micros, 3000000);
    ASSERT_EQ(lines->Count(), 3);
    EXPECT_EQ(lines->Text(0), L"1. Intro\t0:02");
    EXPECT_EQ(lines->Text(1), L"2. read-plain.mid\t0:03");
    EXPECT_EQ(lines->Text(2), L"3. read-damaged.mid (cannot be read)\t--");

    // Results that wait while the list changes: moved songs get their own,
    // a removed one's goes nowhere.
    const std::string one = WriteSong("read-1.mid", 384, 500000, 384 * 2), two = WriteSong("read-2.mid", 384, 500000, 384 * 4),
                      three = WriteSong("read-3.mid", 384, 500000, 384 * 6);
    dialog.m_playlist.OpenSongs({ Wide(one), Wide(two), Wide(three) });
    for (int i = 0; i < 5000 && dialog.m_playlist.m_reader.Reading(); ++i)
        Sleep(1);
    dialog.m_playlist.Move(2, 0);
    dialog.m_playlist.Remove(2);
    ReadsArrive();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path.ToUtf8(), three);
    EXPECT_EQ(entries[0].micros, 3000000);
    EXPECT_EQ(entries[1].path.ToUtf8(), one);
    EXPECT_EQ(entries[1].micros, 1000000);
    dialog.DestroyWindow();
    EXPECT_FALSE(dialog.m_playlist.m_reader.Reading());
}
