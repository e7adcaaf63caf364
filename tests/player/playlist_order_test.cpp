// Which song comes next: the order given, repeat off, one and all, shuffle
// (each song once a round), songs that failed passed over, and edits that
// keep the current song; and the M3U text of a list, read and written.

#include "player/CM3uList.h"
#include "player/CPlaylist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<CString> Names(int count)
{
    std::vector<CString> names;
    for (int i = 0; i < count; ++i)
        names.push_back(CString((L"/s/" + std::to_wstring(i) + L".mid").c_str()));
    return names;
}

// The songs played from the current one on, each at its end, up to limit.
std::vector<int> PlayOn(CPlaylist& list, int limit)
{
    std::vector<int> played { list.Current() };
    for (int next = list.NextIndex(true); next >= 0 && static_cast<int>(played.size()) < limit;
         next = list.NextIndex(true)) {
        list.Advance(next);
        played.push_back(next);
    }
    return played;
}

}

TEST(PlaylistOrder, RepeatFailedSongsAndEditsDecideWhatComesNext)
{
    struct Case {
        CPlaylist::Repeat repeat;
        std::vector<int> failed;
        std::vector<int> played;
    };
    for (const Case& c : { Case { CPlaylist::REPEAT_OFF, {}, { 0, 1, 2, 3 } },
             Case { CPlaylist::REPEAT_OFF, { 1, 3 }, { 0, 2 } },
             Case { CPlaylist::REPEAT_ONE, {}, { 0, 0, 0, 0, 0, 0, 0 } },
             Case { CPlaylist::REPEAT_ALL, { 2 }, { 0, 1, 3, 0, 1, 3, 0 } } }) {
        CPlaylist list;
        list.Assign(Names(4));
        list.SetRepeat(c.repeat);
        for (int f : c.failed)
            list.Entries()[static_cast<size_t>(f)].failed = true;
        EXPECT_EQ(PlayOn(list, 7), c.played) << c.repeat;
    }
    // Asked for by the user, repeat one goes on; previous goes back.
    CPlaylist list;
    list.Assign(Names(3));
    list.SetRepeat(CPlaylist::REPEAT_ONE);
    EXPECT_EQ(list.NextIndex(false), 1);
    EXPECT_FALSE(list.HasPrevious());
    list.Advance(2);
    EXPECT_EQ(list.PreviousIndex(), 1);
    EXPECT_FALSE(list.HasNext());
    // Edits keep the song that plays current; removing it leaves the one
    // after it next in line.
    list.Move(2, 0);
    EXPECT_EQ(list.Current(), 0);
    EXPECT_EQ(list.Entries()[0].path, L"/s/2.mid");
    EXPECT_EQ(list.NextIndex(false), 1);
    list.Remove(0);
    EXPECT_EQ(list.Current(), -1);
    EXPECT_EQ(list.NextIndex(false), 0);
    EXPECT_EQ(list.Entries()[0].path, L"/s/0.mid");
    list.Remove(0);
    list.Remove(0);
    EXPECT_EQ(list.NextIndex(false), -1);
    EXPECT_FALSE(list.HasNext());
}

TEST(PlaylistOrder, ShufflePlaysEachSongOnceARoundInOrdersThatDiffer)
{
    std::vector<std::vector<int>> rounds;
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        CPlaylist list;
        list.Seed(seed);
        list.SetShuffle(true);
        list.SetRepeat(CPlaylist::REPEAT_ALL);
        list.Assign(Names(5));
        const std::vector<int> played = PlayOn(list, 15);
        ASSERT_EQ(played.size(), 15u);
        for (size_t round = 0; round < 3; ++round) {
            std::vector<int> one(played.begin() + static_cast<long>(round * 5), played.begin() + static_cast<long>(round * 5 + 5));
            rounds.push_back(one);
            std::sort(one.begin(), one.end());
            EXPECT_EQ(one, (std::vector<int> { 0, 1, 2, 3, 4 })) << "seed " << seed << " round " << round;
            if (round > 0)
                EXPECT_NE(played[round * 5], played[round * 5 - 1]) << "a new round does not start with the song just played";
        }
        // Songs added while shuffling come in this round.
        CPlaylist added;
        added.Seed(seed);
        added.SetShuffle(true);
        added.Assign(Names(2));
        added.Add({ L"/s/new.mid" });
        EXPECT_EQ(PlayOn(added, 5).size(), 3u);
    }
    std::sort(rounds.begin(), rounds.end());
    EXPECT_GT(std::unique(rounds.begin(), rounds.end()) - rounds.begin(), 3) << "the rounds are not all one order";
    // Shuffle switched on keeps the current song; off, the list's order
    // goes on from it.
    CPlaylist list;
    list.Assign(Names(4));
    list.Advance(2);
    list.SetShuffle(true);
    EXPECT_EQ(list.Current(), 2);
    list.SetShuffle(false);
    EXPECT_EQ(list.NextIndex(false), 3);
}

TEST(M3uList, SongsBesideTheListAreRelativeOthersFullAndEverythingReadsBack)
{
    const std::vector<CM3uList::Song> songs { { L"/music/list/a.mid", L"Intro, part 1", 65 },
        { L"/music/list/sub/b b.mid", L"", -1 }, { L"/other/c.mid", L"Line\nbreak", 3 },
        { L"/music/list/#hash.mid", L"", 1 } };
    const std::string text = CM3uList::Format(songs, L"/music/list", 1);
    EXPECT_EQ(text.substr(0, 47), "#EXTM3U\n#EXTINF:65,Intro, part 1\na.mid\n#EXTINF:");
    EXPECT_NE(text.find("\nsub/b b.mid\n"), std::string::npos);
    EXPECT_NE(text.find("\n/other/c.mid\n"), std::string::npos);
    EXPECT_NE(text.find("#EXTINF:3,Line break\n"), std::string::npos);
    EXPECT_NE(text.find("\nfile:///music/list/%23hash.mid\n"), std::string::npos) << "a name read as a comment goes as a URI";
    std::vector<CM3uList::Song> back;
    int current = -1;
    ASSERT_TRUE(CM3uList::Parse(text, L"/music/list/", TRUE, back, current));
    ASSERT_EQ(back.size(), songs.size());
    for (size_t i = 0; i < songs.size(); ++i)
        EXPECT_EQ(back[i].path, songs[i].path) << i;
    EXPECT_EQ(back[0].title, L"Intro, part 1");
    EXPECT_EQ(back[0].seconds, 65);
    EXPECT_EQ(current, 1);

    // Lists other players wrote: a byte-order mark, CRLF, URIs, no header.
    ASSERT_TRUE(CM3uList::Parse("\xEF\xBB\xBF#EXTM3U\r\n\r\n#EXTINF:-1,T\r\nfile:///x/y%20z.mid\r\n  rel.mid  \r\n#TABRINO-CURRENT:9\n",
        L"/base", TRUE, back, current));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].path, L"/x/y z.mid");
    EXPECT_EQ(back[0].title, L"T");
    EXPECT_EQ(back[1].path, L"/base/rel.mid");
    EXPECT_EQ(current, -1) << "a current song outside the list is none";
    EXPECT_TRUE(CM3uList::Parse("a.mid\n", L"/b", FALSE, back, current));
    EXPECT_FALSE(CM3uList::Parse("a.mid\n", L"/b", TRUE, back, current)) << "the kept list must be one of ours";
    EXPECT_FALSE(CM3uList::Parse(std::string("#EXTM3U\na\0b\n", 12), L"/b", FALSE, back, current));
}
