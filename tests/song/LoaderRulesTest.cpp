#include "LoadedSong.h"

#include <gtest/gtest.h>

TEST(LoaderRules, RunningStatusAndDeltaTimes)
{
    // Delta 0x83 0x60 is 480; every later event repeats the status 0x91.
    LoadedSong s(MidiBytes::Header(0, 1, 96).Track({ 0x83, 0x60, 0x91, 60, 100, 0x00, 64, 90, 0x60, 60, 0,
        0x00, 64, 0, 0x00, 0xFF, 0x2F, 0x00 }).bytes);
    ASSERT_TRUE(s.Messages().empty());
    ASSERT_EQ(s.song->m_format, 0);
    EXPECT_EQ(s.state.m_ppqn.load(), 96);
    auto e = s.Events(0);
    ASSERT_EQ(e.size(), 5u);
    const int ticks[] = { 480, 480, 576, 576, 576 };
    const int keys[] = { 60, 64, 60, 64, 0 };
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(e[i]->m_status, 0x91);
        EXPECT_EQ(e[i]->m_tick, ticks[i]);
        EXPECT_EQ(e[i]->m_data1, keys[i]);
    }
    EXPECT_EQ(e[1]->m_data2, 90);
    EXPECT_EQ(e[4]->m_status, 0xFF);
    EXPECT_EQ(e[4]->m_payload, nullptr);
    EXPECT_EQ(s.state.m_usPerQuarter.load(), 666666);
}

TEST(LoaderRules, MetaEventsFillTrackAndStateAndAreKept)
{
    std::vector<int> body;
    AddMeta(body, 0x03, "  Piano \t");
    AddMeta(body, 0x03, " Keys\r\n");
    AddMeta(body, 0x04, " Grand ");
    AddMeta(body, 0x00, std::string("\x01\x02", 2));
    AddMeta(body, 0x00, std::string("\x00\x07", 2));
    AddMeta(body, 0x51, "\x07\xA1\x20");
    AddMeta(body, 0x51, "\x0F\x42\x40");
    AddMeta(body, 0x58, "\x06\x03\x18\x08");
    AddMeta(body, 0x58, "\x04\x02\x18\x08");
    AddMeta(body, 0x59, "\xFE\x01");
    AddMeta(body, 0x59, std::string("\x00\x00", 2));
    AddMeta(body, 0x54, std::string("\x60\x00\x00\x00\xFE", 5));
    LoadedSong s(MidiBytes::Header(1, 1, 480).Track(body).bytes);

    ASSERT_TRUE(s.Messages().empty());
    CTrack* t = s.Tracks().at(0);
    EXPECT_EQ(t->m_name, L"Keys");
    EXPECT_EQ(t->m_instrument, L"Grand");
    EXPECT_EQ(t->m_sequenceNumber, 7);
    EXPECT_EQ(t->m_tempo, 500000);
    EXPECT_EQ(t->m_timeSignature, 0x06031808);
    EXPECT_EQ(t->m_keySignature, 0xFE01);
    EXPECT_EQ(s.song->m_tempo, 500000u);
    EXPECT_EQ(s.state.m_usPerQuarter.load(), 500000);
    EXPECT_EQ(s.state.m_smpteOffset, -2);

    auto e = s.Events(0);
    ASSERT_EQ(e.size(), 12u);
    EXPECT_EQ(e[0]->m_metaType, 0x03);
    ASSERT_EQ(e[0]->m_payloadLength, 9u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(e[0]->m_payload)), "  Piano \t");
}

TEST(LoaderRules, SongTempoIsFirstTempoOfLastTrackWithOne)
{
    std::vector<int> a, b, none = { 0x00, 0xFF, 0x2F, 0x00 };
    AddMeta(a, 0x51, "\x07\xA1\x20");
    AddMeta(b, 0x51, "\x09\x27\xC0");
    AddMeta(b, 0x51, "\x0F\x42\x40");
    LoadedSong s(MidiBytes::Header(1, 3, 480).Track(a).Track(b).Track(none).bytes);
    auto t = s.Tracks();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0]->m_tempo, 500000);
    EXPECT_EQ(t[1]->m_tempo, 600000);
    EXPECT_EQ(t[2]->m_tempo, -1);
    EXPECT_EQ(s.song->m_tempo, 600000u);
    EXPECT_EQ(s.state.m_usPerQuarter.load(), 600000);
}

TEST(LoaderRules, KvtTextAtTheStartIsDropped)
{
    std::vector<int> body;
    AddMeta(body, 0x01, "{KVT}");
    AddMeta(body, 0x01, "{KVT}chord C");
    AddMeta(body, 0x01, "see {KVT}");
    AddMeta(body, 0x01, "{KVT");
    AddMeta(body, 0x05, "{KVT}lyric");
    LoadedSong s(MidiBytes::Header(1, 1, 480).Track(body).bytes);
    auto e = s.Events(0);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(e[0]->m_payload)), "see {KVT}");
    EXPECT_EQ(e[2]->m_metaType, 0x05);
}

TEST(LoaderRules, SystemAndMetaEventsReplaceRunningStatus)
{
    // After FF 01 01 'a', the bytes 01 01 'b' are a second text event; after
    // F0 the data byte 02 starts another system-exclusive message.
    LoadedSong s(MidiBytes::Header(1, 1, 480).Track({ 0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x01, 'a', 0x00,
        0x01, 0x01, 'b', 0x00, 0xF0, 0x01, 0xF7, 0x00, 0x02, 0x7E, 0x7F }).bytes);
    ASSERT_TRUE(s.Messages().empty());
    auto e = s.Events(0);
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[2]->m_status, 0xFF);
    EXPECT_EQ(e[2]->m_metaType, 0x01);
    EXPECT_EQ(e[2]->m_payload[0], 'b');
    EXPECT_EQ(e[4]->m_status, 0xF0);
    ASSERT_EQ(e[4]->m_payloadLength, 2u);
    EXPECT_EQ(e[4]->m_payload[1], 0x7F);
    EXPECT_EQ(e[4]->m_payload[2], 0);
}

TEST(LoaderRules, ChannelRecordsLinkNamesProgramsAndVolumes)
{
    std::vector<int> first, second;
    AddMeta(first, 0x03, "Lead");
    AddMeta(first, 0x04, "Flute");
    first.insert(first.end(), { 0x00, 0xC2, 73, 0x00, 0xC2, 74, 0x00, 0xB2, 7, 100, 0x00, 0xB2, 7, 90 });
    AddMeta(second, 0x04, "Bass");
    second.insert(second.end(), { 0x00, 0xC2, 33, 0x00, 0xC3, 34, 0x00, 0xF0, 0x00, 0x00, 0xF7, 0x00 });
    LoadedSong s(MidiBytes::Header(1, 2, 480).Track(first).Track(second).bytes);
    ASSERT_TRUE(s.Messages().empty());
    auto a = s.Events(0), b = s.Events(1);
    const CChannelLevel* ch = s.state.m_channels;

    EXPECT_TRUE(ch[2].m_used);
    EXPECT_EQ(ch[2].m_nameEvent, a[0]);
    // A channel whose name link is taken gets the instrument on its next
    // message; a track without a name gives its instrument at once.
    EXPECT_EQ(ch[2].m_instrumentEvent, a[1]);
    EXPECT_EQ(ch[3].m_instrumentEvent, b[0]);
    // The second track's first program on channel 2 replaces the first's.
    EXPECT_EQ(ch[2].m_programEvent, b[1]);
    EXPECT_EQ(ch[3].m_programEvent, nullptr);
    EXPECT_EQ(ch[2].m_volumeEvent, a[4]);
    // System-exclusive status bytes count as channels 0 and 7.
    EXPECT_TRUE(ch[0].m_used);
    EXPECT_TRUE(ch[7].m_used);
    EXPECT_FALSE(ch[1].m_used);
}

TEST(LoaderRules, EventPastChunkEndIsDroppedAndNextChunkRead)
{
    // The tempo event's length byte is the chunk's last; its payload is read
    // from the next chunk's "MTr". The tempo is applied before the event is
    // dropped, and the next chunk is then read from the declared end.
    LoadedSong s(MidiBytes::Header(1, 2, 480)
                     .Track({ 0x00, 0x90, 60, 100, 0x00, 0xFF, 0x51, 0x03 })
                     .Track({ 0x00, 0x80, 60, 0 })
                     .bytes);
    ASSERT_TRUE(s.Messages().empty());
    ASSERT_EQ(s.Tracks().size(), 2u);
    EXPECT_EQ(s.Events(0).size(), 1u);
    EXPECT_EQ(s.Tracks()[0]->m_tempo, 0x4D5472);
    EXPECT_EQ(s.Events(1).size(), 1u);
}

TEST(LoaderRules, EmptyChunkHasNoEventsAndZeroTracksGiveASong)
{
    LoadedSong empty(MidiBytes::Header(1, 2, 480).Track({}).Track({ 0x00, 0xFF, 0x2F, 0x00 }).bytes);
    EXPECT_TRUE(empty.Messages().empty());
    ASSERT_EQ(empty.Tracks().size(), 2u);
    EXPECT_EQ(empty.Tracks()[0]->m_firstEvent, nullptr);
    EXPECT_EQ(empty.Events(1).size(), 1u);

    LoadedSong none(MidiBytes::Header(0, 0, 480).bytes);
    EXPECT_TRUE(none.Messages().empty());
    ASSERT_NE(none.song, nullptr);
    EXPECT_EQ(none.tracks, nullptr);
}
