#include "LoadedSong.h"

#include "platform/core/Resources.h"
#include "song/CSongInfo.h"

#include <gtest/gtest.h>

#include <set>

TEST(DemoSong, EmbeddedSongLoadsWithInstrumentsDrumsAndVolumes)
{
    const EmbeddedResource* demo = FindEmbeddedResource(200, "midi");
    ASSERT_NE(demo, nullptr);
    LoadedSong s(std::vector<BYTE>(demo->data, demo->data + demo->size));
    ASSERT_TRUE(s.Messages().empty());
    ASSERT_GE(s.Tracks().size(), 4u);
    EXPECT_EQ(s.song->m_tempo, 600000u);

    std::set<int> programChannels, volumeChannels;
    int tempoEvents = 0;
    for (size_t t = 0; t < s.Tracks().size(); ++t) {
        EXPECT_FALSE(s.Tracks()[t]->m_name.IsEmpty());
        for (CMidiEvent* e : s.Events(t)) {
            if ((e->m_status & 0xF0) == 0xC0)
                programChannels.insert(e->m_status & 0x0F);
            if ((e->m_status & 0xF0) == 0xB0 && e->m_data1 == 7)
                volumeChannels.insert(e->m_status & 0x0F);
            tempoEvents += e->m_status == 0xFF && e->m_metaType == 0x51;
        }
    }
    EXPECT_EQ(tempoEvents, 1);
    EXPECT_GE(programChannels.size(), 4u);
    EXPECT_EQ(volumeChannels, programChannels);
    EXPECT_TRUE(s.state.m_channels[9].m_used);
    // About a minute at the file's tempo.
    LONGLONG ms = CSongInfo::FromTracks(s.tracks).m_length * 600 / s.state.m_ppqn.load();
    EXPECT_GT(ms, 45000);
    EXPECT_LT(ms, 75000);
}
