#include "LoadedSong.h"

#include <gtest/gtest.h>

namespace {

// A track using every kind of event, with lengths of one and two bytes.
std::vector<BYTE> RichFile()
{
    std::vector<int> body;
    AddMeta(body, 0x03, "Everything");
    AddMeta(body, 0x51, "\x07\xA1\x20");
    body.insert(body.end(), { 0x00, 0xC0, 5, 0x00, 0xB0, 7, 100, 0x81, 0x00, 0x90, 60, 100, 0x30, 62, 90 });
    body.insert(body.end(), { 0x00, 0xF0, 0x81, 0x00 });
    body.insert(body.end(), 128, 0x11);
    body.insert(body.end(), { 0x10, 0xE0, 0x00, 0x40, 0x00, 0xF8, 0x00, 0xFF, 0x2F, 0x00 });
    return MidiBytes::Header(1, 2, 480).Track(body).Track({ 0x00, 0x90, 1, 2 }).bytes;
}

struct Seen {
    LONGLONG tick;
    BYTE status, data1, data2;
    DWORD length;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> All(const LoadedSong& s)
{
    std::vector<Seen> out;
    for (size_t t = 0; t < s.Tracks().size(); ++t)
        for (CMidiEvent* e : s.Events(t))
            out.push_back({ e->m_tick, e->m_status, e->m_data1, e->m_data2, e->m_payloadLength });
    return out;
}

}

TEST(LoaderBounds, EveryTruncationLoadsAPrefixOfTheWholeFile)
{
    const std::vector<BYTE> whole = RichFile();
    LoadedSong full(whole);
    ASSERT_TRUE(full.Messages().empty());
    const std::vector<Seen> all = All(full);
    ASSERT_EQ(all.size(), 11u);

    for (size_t n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        LoadedSong cut(std::vector<BYTE>(whole.begin(), whole.begin() + n));
        std::vector<Seen> some = All(cut);
        ASSERT_LE(some.size(), all.size());
        EXPECT_TRUE(std::equal(some.begin(), some.end(), all.begin()));
        // Short of the header nothing loads; short of a track header, or once
        // an event of the first track is cut off, the second track is missing.
        // Cutting the last track's only event loses just that event.
        const auto messages = cut.Messages();
        if (n >= whole.size() - 4) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(some.size(), all.size() - 1);
            continue;
        }
        ASSERT_EQ(messages.size(), 1u);
        if (n < 14)
            EXPECT_EQ(messages[0], CMidiFileReader::kNoHeader);
        else
            EXPECT_EQ(messages[0], CMidiFileReader::kNoTrack);
    }
}

TEST(LoaderBounds, LengthsPastTheEndAllocateNothing)
{
    // A meta length of 2^28 - 1 and a system-exclusive length of 2^32 - 1
    // with a few bytes left: the events are dropped and nothing is read past
    // the buffer (the address sanitizer watches the exact-size copy).
    for (std::vector<int> tail : { std::vector<int> { 0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 'a' },
             std::vector<int> { 0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0x01, 0x02 } }) {
        std::vector<int> body = { 0x00, 0x90, 60, 100 };
        body.insert(body.end(), tail.begin(), tail.end());
        LoadedSong s(MidiBytes::Header(1, 1, 480).Track(body).bytes);
        EXPECT_TRUE(s.Messages().empty());
        EXPECT_EQ(s.Events(0).size(), 1u);
    }
}

TEST(LoaderLengths, LongTextAndSysexKeepTheTrackInStep)
{
    std::vector<int> body = { 0x00, 0xFF, 0x01, 0x81, 0x48 };
    body.insert(body.end(), 200, 'x');
    body.insert(body.end(), { 0x00, 0xF0, 0x82, 0x2C });
    body.insert(body.end(), 300, 0x22);
    body.insert(body.end(), { 0x60, 0x90, 60, 100, 0x00, 0xFF, 0x2F, 0x00 });
    LoadedSong s(MidiBytes::Header(1, 1, 480).Track(body).bytes);
    ASSERT_TRUE(s.Messages().empty());
    auto e = s.Events(0);
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0]->m_payloadLength, 200u);
    EXPECT_EQ(e[0]->m_payload[199], 'x');
    EXPECT_EQ(e[0]->m_payload[200], 0);
    EXPECT_EQ(e[1]->m_payloadLength, 300u);
    EXPECT_EQ(e[2]->m_status, 0x90);
    EXPECT_EQ(e[2]->m_tick, 96);
}

TEST(LoaderKvt, DroppedMarkersKeepAbsoluteTicks)
{
    std::vector<int> body = { 0x10, 0x90, 60, 100 };
    for (int delta : { 0x20, 0x30 })
        body.insert(body.end(), { delta, 0xFF, 0x01, 0x05, '{', 'K', 'V', 'T', '}' });
    body.insert(body.end(), { 0x40, 0x80, 60, 0 });
    // Two deltas of 2^32 - 1, one on a marker, one on the note: the carried
    // delta goes beyond 32 bits and still gives the file's tick.
    body.insert(body.end(), { 0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x01, 0x05, '{', 'K', 'V', 'T', '}', 0x8F, 0xFF,
        0xFF, 0xFF, 0x7F, 0x90, 60, 100 });
    LoadedSong s(MidiBytes::Header(1, 1, 480).Track(body).bytes);
    auto e = s.Events(0);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[1]->m_tick, 0x10 + 0x20 + 0x30 + 0x40);
    EXPECT_EQ(e[1]->m_delta, 0x20u + 0x30 + 0x40);
    EXPECT_EQ(e[2]->m_tick, e[1]->m_tick + 2 * 0xFFFFFFFFLL);
}

TEST(LoaderTiming, ShortMetaPayloadsSetNothing)
{
    std::vector<int> body;
    AddMeta(body, 0x00, "\x05");
    AddMeta(body, 0x51, "\x07\xA1");
    AddMeta(body, 0x54, std::string("\x60\x00\x00\x00", 4));
    AddMeta(body, 0x58, "\x03\x02\x18");
    AddMeta(body, 0x59, "\x01");
    AddMeta(body, 0x03, "");
    LoadedSong s;
    s.state.m_smpteOffset = 12;
    s.Load(MidiBytes::Header(1, 1, 480).Track(body).bytes);
    CTrack* t = s.Tracks().at(0);
    EXPECT_EQ(s.Events(0).size(), 6u);
    EXPECT_EQ(t->m_sequenceNumber, -1);
    EXPECT_EQ(t->m_tempo, -1);
    EXPECT_EQ(t->m_timeSignature, -1);
    EXPECT_EQ(t->m_keySignature, -1);
    EXPECT_EQ(s.state.m_usPerQuarter.load(), 666666);
    EXPECT_EQ(s.state.m_smpteOffset, 12);
}
