#include "PlayerDialogFixture.h"
#include "app/CPracticeTools.h"
#include "app/CRememberedSongs.h"
#include "app/FaceCommands.h"
#include "player/CPlayerHost.h"
#include "player/CPractice.h"
#include "player/CSongMemory.h"
#include "player/CSongSettings.h"
#include "tests/support/CMessageBoxRecorder.h"

#include <cstdio>
#include <memory>

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A window's part without the window: a player with a song in place, its
// practice tools and its memory on the file given.
struct Window {
    CPlayerHost host;
    CPractice practice { host.m_playerState, host.m_metronome };
    CSongSettings settings { host, practice };
    CRememberedSongs memory;

    Window(const std::string& file, const std::string& song)
        : memory(file)
    {
        EXPECT_TRUE(host.ReadFile(Wide(song)));
        host.Transport().AdoptSong(host.m_pTracks);
    }
    // Opens the song in place again under a hash of the test's choosing.
    BOOL Open(std::uint64_t hash)
    {
        memory.NoteChanges(settings);
        host.Transport().SetTempo(120);
        host.Transport().SetTranspose(0);
        practice.Reset();
        practice.UnmuteAll();
        return memory.SongOpened(hash, settings);
    }
};

class SongMemory : public PlayerDialog {
protected:
    std::string Title() { return dialog.GetWindowText().ToUtf8(); }
};

}

// The memory follows the song's bytes: a renamed file comes back as it was
// set, a changed one starts afresh, a song left alone leaves no record, and
// a forgotten one stays forgotten.
TEST_F(SongMemory, ARenamedSongComesBackAsSetAChangedOneAfresh)
{
    const std::string song = WriteSong("memory-a.mid", 384, 500000, 384 * 16);
    Open(song);
    CPractice& p = dialog.m_practice;
    dialog.SetTempo(100);
    dialog.SetTranspose(-3);
    p.SetMuted(1, TRUE);
    p.ToggleSolo(4);
    p.SetLoop(384 * 4, 384 * 8);
    p.SetLoopOn(FALSE);
    dialog.m_mixer.SetVolume(2, 40);
    dialog.m_pPracticeTools->SetCountIn({ 2, true });
    CBookmarkList bookmarks;
    bookmarks.Add(384 * 8, "Bar 3");
    dialog.m_pPracticeTools->SetBookmarks(bookmarks);
    const std::string moved = std::string(TEST_BINARY_DIR) + "/memory-moved.mid";
    ASSERT_EQ(std::rename(song.c_str(), moved.c_str()), 0);
    const std::string other = WriteSong("memory-b.mid", 384, 500000, 384 * 8);
    Open(other);
    const std::uint64_t otherHash = dialog.m_songHash;
    EXPECT_EQ(Title(), "TabrinoCE - memory-b.mid");
    EXPECT_EQ(state.m_bpm, 120);
    EXPECT_EQ(state.m_transpose, 0);
    EXPECT_EQ(dialog.m_mixer.Values().volume[2], 100);
    // The count-in the user set is the window's own: it goes on with the
    // next song; one a song's memory set goes with that song.
    EXPECT_EQ(dialog.m_pPracticeTools->CountIn(), (CCountInSettings { 2, true }));
    Open(WriteSong("memory-c.mid", 384, 500000, 384 * 9));
    dialog.m_pPracticeTools->SetCountIn({});

    Open(moved);
    EXPECT_EQ(Title(), "TabrinoCE - memory-moved.mid (remembered)");
    EXPECT_EQ(state.m_bpm, 100);
    EXPECT_EQ(state.m_transpose, -3);
    EXPECT_EQ(p.SoloChannel(), 4);
    EXPECT_EQ(p.MutedBeforeSolo(), 1u << 1);
    EXPECT_EQ(p.LoopStart(), 384 * 4);
    EXPECT_EQ(p.LoopEnd(), 384 * 8);
    EXPECT_FALSE(p.LoopOn());
    EXPECT_EQ(dialog.m_mixer.Values().volume[2], 40);
    EXPECT_EQ(dialog.m_pPracticeTools->CountIn(), (CCountInSettings { 2, true }));
    EXPECT_EQ(dialog.m_pPracticeTools->Bookmarks(), bookmarks);
    Open(other);
    EXPECT_EQ(dialog.m_pPracticeTools->CountIn(), CCountInSettings());
    CSongMemory stored;
    ASSERT_EQ(stored.Load(CSongMemory::FilePath()), CSongMemory::LoadResult::Loaded);
    EXPECT_EQ(stored.Find(otherHash), nullptr) << "the song left alone has no record";

    WriteSong("memory-moved.mid", 384, 500000, 384 * 17);
    Open(moved);
    EXPECT_EQ(Title(), "TabrinoCE - memory-moved.mid");
    EXPECT_EQ(state.m_bpm, 120);
    EXPECT_EQ(p.SoloChannel(), -1);
    EXPECT_FALSE(p.HasLoop());

    WriteSong("memory-moved.mid", 384, 500000, 384 * 16);
    Open(moved);
    EXPECT_EQ(Title(), "TabrinoCE - memory-moved.mid (remembered)");
    Command(ID_FORGET_SONG);
    EXPECT_EQ(Title(), "TabrinoCE - memory-moved.mid");
    EXPECT_EQ(state.m_bpm, 120);
    EXPECT_EQ(state.m_transpose, 0);
    EXPECT_FALSE(p.AnyMuted());
    EXPECT_FALSE(p.HasLoop());
    Open(moved);
    EXPECT_EQ(Title(), "TabrinoCE - memory-moved.mid");
    std::remove(moved.c_str());
}

// Two windows note changes on the same songs and write one after the other:
// each write merges into the file as the other left it.
TEST(SongMemoryFile, TwoWindowsWritingLoseNothing)
{
    TempConfigHome home;
    const std::string file = home.Dir() + "/song-memory.txt";
    const std::string song = WriteSong("memory-two.mid", 384, 500000, 384 * 16);
    Window first(file, song);
    Window second(file, song);
    first.Open(1);
    second.Open(1);
    first.host.Transport().SetTempo(100);
    second.host.Transport().SetTranspose(2);
    second.Open(2);
    second.practice.SetMuted(9, TRUE);
    first.memory.NoteChanges(first.settings);
    second.memory.NoteChanges(second.settings);
    ASSERT_TRUE(first.memory.Write());
    ASSERT_TRUE(second.memory.Write());
    ASSERT_TRUE(first.memory.Write());

    CSongMemory stored;
    ASSERT_EQ(stored.Load(file), CSongMemory::LoadResult::Loaded);
    ASSERT_NE(stored.Find(1), nullptr);
    EXPECT_EQ(*stored.Find(1), (CSongMemory::Record { { "Tempo", "100" }, { "Transpose", "2" } }));
    ASSERT_NE(stored.Find(2), nullptr);
    EXPECT_EQ(*stored.Find(2), (CSongMemory::Record { { "Mutes", "10" } }));
    EXPECT_EQ(stored.Songs(), (std::vector<std::uint64_t> { 2, 1 }));
}

// A damaged file is kept aside whole, the user is told, and the memory
// goes on in a new file.
TEST(SongMemoryFile, ADamagedFileIsKeptAsideAndTold)
{
    TempConfigHome home;
    const std::string file = home.Dir() + "/song-memory.txt";
    std::ofstream(file) << "TabrinoCE song memory 1\n[not a hash]\nTempo=100\n";
    const std::string damaged = ReadAll(file);
    Window window(file, WriteSong("memory-damaged.mid", 384, 500000, 384 * 16));
    CMessageBoxRecorder boxes;
    EXPECT_FALSE(window.Open(7));
    ASSERT_EQ(boxes.Entries().size(), 1u);
    EXPECT_NE(boxes.Entries()[0].text.ToUtf8().find("damaged"), std::string::npos);
    EXPECT_EQ(ReadAll(file + ".damaged"), damaged);
    window.host.Transport().SetTempo(90);
    window.memory.NoteChanges(window.settings);
    ASSERT_TRUE(window.memory.Write());
    CSongMemory stored;
    ASSERT_EQ(stored.Load(file), CSongMemory::LoadResult::Loaded);
    ASSERT_NE(stored.Find(7), nullptr);
    EXPECT_EQ(boxes.Entries().size(), 1u);
}

// At most a thousand songs: the one opened least recently goes, not the one
// stored first.
TEST(SongMemoryFile, AThousandSongsTheLeastRecentlyOpenedGoFirst)
{
    TempConfigHome home;
    const std::string file = home.Dir() + "/song-memory.txt";
    CSongMemory full;
    for (std::uint64_t hash = 1; hash <= CSongMemory::kMaxSongs; ++hash)
        full.Put(hash, { { "Tempo", "100" } });
    ASSERT_TRUE(full.Save(file));
    Window window(file, WriteSong("memory-full.mid", 384, 500000, 384 * 16));
    EXPECT_TRUE(window.Open(1));
    EXPECT_EQ(window.host.m_playerState.m_bpm, 100);
    window.Open(5000);
    window.host.Transport().SetTranspose(1);
    window.memory.NoteChanges(window.settings);
    ASSERT_TRUE(window.memory.Write());

    CSongMemory stored;
    ASSERT_EQ(stored.Load(file), CSongMemory::LoadResult::Loaded);
    EXPECT_EQ(stored.Size(), CSongMemory::kMaxSongs);
    const std::vector<std::uint64_t> songs = stored.Songs();
    EXPECT_EQ(std::vector<std::uint64_t>(songs.begin(), songs.begin() + 3), (std::vector<std::uint64_t> { 5000, 1, 1000 }));
    EXPECT_EQ(stored.Find(2), nullptr);
    EXPECT_NE(stored.Find(3), nullptr);
}
