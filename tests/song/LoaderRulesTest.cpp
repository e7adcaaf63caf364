#include "LoadedSong.h"

#include <gtest/gtest.h>

namespace {

Bytes Metas(std::initializer_list<std::pair<int, std::string>> metas)
{
    Bytes body;
    for (const auto& [type, payload] : metas)
        AddMeta(body, type, payload);
    return body;
}

}

TEST(LoaderRules, EventsAsRead)
{
    struct Case {
        const char* what;
        std::vector<Bytes> tracks;
        std::vector<std::string> lines;
        std::int32_t tempo; // the first track's
    };
    const Case cases[] = {
        { "delta 0x83 0x60 is 480; later events repeat the status 0x91",
            { { 0x83, 0x60, 0x91, 60, 100, 0x00, 64, 90, 0x60, 60, 0, 0x00, 64, 0, 0x00, 0xFF, 0x2F, 0x00 } },
            { "480 91 60 100", "480 91 64 90", "576 91 60 0", "576 91 64 0", "576 FF 2F" }, -1 },
        { "after a meta event 01 01 'b' is a second text; after F0 the data byte 02 starts another message",
            { { 0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x01, 'a', 0x00, 0x01, 0x01, 'b', 0x00, 0xF0, 0x01, 0xF7, 0x00,
                0x02, 0x7E, 0x7F } },
            { "0 90 60 100", "0 FF 01 'a'", "0 FF 01 'b'", "0 F0 F7", "0 F0 7E7F" }, -1 },
        { "texts starting with {KVT} are dropped",
            { Metas({ { 1, "{KVT}" }, { 1, "{KVT}chord C" }, { 1, "see {KVT}" }, { 1, "{KVT" }, { 5, "{KVT}lyric" } }) },
            { "0 FF 01 'see {KVT}'", "0 FF 01 '{KVT'", "0 FF 05 '{KVT}lyric'" }, -1 },
        { "dropped texts keep the ticks after them, past 32 bits too",
            { { 0x10, 0x90, 60, 100, 0x20, 0xFF, 0x01, 5, '{', 'K', 'V', 'T', '}', 0x30, 0xFF, 0x01, 5, '{', 'K', 'V', 'T',
                '}', 0x40, 0x80, 60, 0, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x01, 5, '{', 'K', 'V', 'T', '}', 0x8F, 0xFF,
                0xFF, 0xFF, 0x7F, 0x90, 60, 100 } },
            { "16 90 60 100", "160 80 60 0", "8589934750 90 60 100" }, -1 },
        { "a meta length of 2^28 - 1 past the end is dropped",
            { { 0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 'a' } }, { "0 90 60 100" }, -1 },
        { "a system-exclusive length of 2^32 - 1 past the end is dropped",
            { { 0x00, 0x90, 60, 100, 0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0x01, 0x02 } }, { "0 90 60 100" }, -1 },
        // The tempo's payload would be the next chunk's "MTr": the tempo is
        // taken before the event is dropped, and the next chunk is read from
        // the declared end.
        { "an event running past its chunk's end is dropped",
            { { 0x00, 0x90, 60, 100, 0x00, 0xFF, 0x51, 0x03 }, { 0x00, 0x80, 60, 0 } },
            { "0 90 60 100", "|", "0 80 60 0" }, 0x4D5472 },
        { "an empty chunk is a track without events", { {}, { 0x00, 0xFF, 0x2F, 0x00 } }, { "|", "0 FF 2F" }, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadedSong s(Smf(1, 480, c.tracks));
        EXPECT_EQ(s.failure, nullptr);
        EXPECT_EQ(s.Lines(), c.lines);
        EXPECT_EQ(s.Tracks().at(0)->m_tempo, c.tempo);
    }
}

TEST(LoaderRules, MetaEventsFillTrackAndStateAndAreKept)
{
    LoadedSong s(Smf(1, 480,
        { Metas({ { 0x03, "  Piano \t" }, { 0x03, " Keys\r\n" }, { 0x04, " Grand " }, { 0x00, std::string("\x01\x02", 2) },
            { 0x00, std::string("\x00\x07", 2) }, { 0x51, "\x07\xA1\x20" }, { 0x51, "\x0F\x42\x40" },
            { 0x58, "\x06\x03\x18\x08" }, { 0x58, "\x04\x02\x18\x08" }, { 0x59, "\xFE\x01" },
            { 0x59, std::string("\x00\x00", 2) }, { 0x54, std::string("\x60\x00\x00\x00\xFE", 5) } }) }));
    ASSERT_EQ(s.failure, nullptr);
    CTrack* t = s.Tracks().at(0);
    EXPECT_EQ(t->m_name, L"Keys");
    EXPECT_EQ(t->m_instrument, L"Grand");
    EXPECT_EQ(t->m_sequenceNumber, 7);
    EXPECT_EQ(t->m_tempo, 500000);
    EXPECT_EQ(t->m_timeSignature, 0x06031808);
    EXPECT_EQ(t->m_keySignature, 0xFE01);
    EXPECT_EQ(s.song->m_tempo, 500000u);
    EXPECT_EQ(s.state.m_usPerQuarter.load(), 500000);
    EXPECT_EQ(s.state.m_ppqn.load(), 480);
    EXPECT_EQ(s.state.m_smpteOffset, -2);
    const auto lines = s.Lines();
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "0 FF 03 '  Piano \t'");
}

TEST(LoaderRules, ShortMetaPayloadsSetNothing)
{
    LoadedSong s;
    s.state.m_smpteOffset = 12;
    s.Load(Smf(1, 480,
        { Metas({ { 0x00, "\x05" }, { 0x51, "\x07\xA1" }, { 0x54, std::string("\x60\x00\x00\x00", 4) },
            { 0x58, "\x03\x02\x18" }, { 0x59, "\x01" }, { 0x03, "" } }) }));
    CTrack* t = s.Tracks().at(0);
    EXPECT_EQ(s.Events(0).size(), 6u);
    for (std::int32_t field : { t->m_sequenceNumber, t->m_tempo, t->m_timeSignature, t->m_keySignature })
        EXPECT_EQ(field, -1);
    EXPECT_EQ(s.state.m_usPerQuarter.load(), 666666);
    EXPECT_EQ(s.state.m_smpteOffset, 12);
}

TEST(LoaderRules, SongTempoIsFirstTempoOfLastTrackWithOne)
{
    LoadedSong s(Smf(1, 480,
        { Metas({ { 0x51, "\x07\xA1\x20" } }), Metas({ { 0x51, "\x09\x27\xC0" }, { 0x51, "\x0F\x42\x40" } }),
            { 0x00, 0xFF, 0x2F, 0x00 } }));
    EXPECT_EQ(s.song->m_tempo, 600000u);
    EXPECT_EQ(s.state.m_usPerQuarter.load(), 600000);
}

TEST(LoaderRules, ChannelRecordsLinkNamesProgramsAndVolumes)
{
    Bytes first = Metas({ { 0x03, "Lead" }, { 0x04, "Flute" } });
    first.insert(first.end(), { 0x00, 0xC2, 73, 0x00, 0xC2, 74, 0x00, 0xB2, 7, 100, 0x00, 0xB2, 7, 90 });
    Bytes second = Metas({ { 0x04, "Bass" } });
    second.insert(second.end(), { 0x00, 0xC2, 33, 0x00, 0xC3, 34, 0x00, 0xF0, 0x00, 0x00, 0xF7, 0x00 });
    LoadedSong s(Smf(1, 480, { first, second }));
    ASSERT_EQ(s.failure, nullptr);
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
