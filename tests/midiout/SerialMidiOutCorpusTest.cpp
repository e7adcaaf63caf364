#include "tests/player/PlayerTestSupport.h"

#include <filesystem>

// Real songs through the engine and the stage, on a driven clock: the drum
// channel's controllers reach the device as the file has them (pan, reverb,
// sustain and the rest), controller 7 scaled by the master volume like on
// every other channel.
TEST(CorpusOutput, TheDrumChannelsControllersGoOutAsTheFileHasThem)
{
    std::vector<std::string> songs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/games/openttd/baseset/openmsx", error)) {
        if (entry.path().extension() == ".mid")
            songs.push_back(entry.path().string());
    }
    if (songs.empty())
        GTEST_SKIP() << "openttd-openmsx is not installed";
    std::sort(songs.begin(), songs.end());
    int withDrumControllers = 0;
    for (const std::string& song : songs) {
        DrivenTickCount clock(0);
        CapturedDialog d;
        d.dialog.OpenFile(CString::FromUtf8(song), CString());
        d.dialog.m_output.SetVolume(500);
        d.state.m_playState = STATE_START;
        d.Period();
        LONGLONG played = 0;
        while (d.state.m_playState == STATE_PLAYING) {
            played = d.state.m_currentTick;
            clock.Advance(250);
            d.Period();
        }

        std::vector<Message> expected;
        std::vector<const CMidiEvent*> events;
        CRing::ForEach(d.dialog.m_pTracks, [&](CTrack* track) {
            CRing::ForEach(track->m_firstEvent, [&](CMidiEvent* e) {
                // The all-off group's controllers (120 and up) cannot be
                // told from the song's in the stream.
                if (e->m_status == 0xB9 && e->m_data1 < 120)
                    events.push_back(e);
            });
        });
        // Tick order, the file's order within a tick and track: as played.
        std::stable_sort(events.begin(), events.end(),
            [](const CMidiEvent* a, const CMidiEvent* b) { return a->m_tick < b->m_tick; });
        size_t due = 0;
        for (const CMidiEvent* e : events) {
            int value = e->m_data1 == 7 ? e->m_data2 * 500 / 1000 : e->m_data2;
            expected.push_back(Msg({ 0xB9, e->m_data1, value }));
            due += e->m_tick <= played ? 1 : 0;
        }
        std::vector<Message> sent;
        for (const Message& m : d.Take()) {
            if (m[0] == 0xB9 && m[1] < 120)
                sent.push_back(m);
        }
        // The start's volume broadcast comes first: 100 scaled.
        ASSERT_FALSE(sent.empty()) << song;
        EXPECT_EQ(sent.front(), Msg({ 0xB9, 7, 50 })) << song;
        sent.erase(sent.begin());
        ASSERT_GE(sent.size(), due) << song;
        ASSERT_LE(sent.size(), expected.size()) << song;
        EXPECT_TRUE(std::equal(sent.begin(), sent.end(), expected.begin())) << song;
        withDrumControllers += expected.empty() ? 0 : 1;
    }
    EXPECT_GT(withDrumControllers, 0);
}
