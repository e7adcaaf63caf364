#include "LoadedSong.h"

#include "song/CSongFile.h"
#include "song/CSongInfo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

Bytes Metas(std::initializer_list<std::pair<int, std::string>> metas)
{
    Bytes body;
    for (const auto& [type, payload] : metas)
        AddMeta(body, type, payload);
    return body;
}

}

TEST(Loader, EventsAsRead)
{
    // What the case shows, the tracks, the events as read, the first track's tempo.
    for (const auto& [what, tracks, lines, tempo] :
        std::vector<std::tuple<const char*, std::vector<Bytes>, std::vector<std::string>, std::int32_t>> {
        { "delta 0x83 0x60 is 480; later events repeat the status 0x91",
            { { 0x83, 0x60, 0x91, 60, 100, 0x00, 64, 90, 0x60, 60, 0, 0x00, 64, 0, 0x00, 0xFF, 0x2F, 0x00 } },
            { "480 91 60 100", "480 91 64 90", "576 91 60 0", "576 91 64 0", "576 FF 2F" }, -1 },
        { "after a meta event 01 01 'b' is a second text; after F0 the data byte 02 starts another message",
            { { 0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x01, 'a', 0x00, 0x01, 0x01, 'b', 0x00, 0xF0, 0x01, 0xF7, 0x00,
                0x02, 0x7E, 0x7F } },
            { "0 90 60 100", "0 FF 01 'a'", "0 FF 01 'b'", "0 F0 F7", "0 F0 7E7F" }, -1 },
        { "a status without data bytes leaves the running status of the notes around it",
            { { 0x00, 0x90, 60, 100, 0x00, 0xF8, 0x10, 62, 90, 0x00, 0xF3, 0x00, 64, 80 } },
            { "0 90 60 100", "0 F8", "16 90 62 90", "16 F3", "16 90 64 80" }, -1 },
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
        { "an empty chunk is a track without events", { {}, { 0x00, 0xFF, 0x2F, 0x00 } }, { "|", "0 FF 2F" }, -1 } }) {
        SCOPED_TRACE(what);
        LoadedSong s(Smf(1, 480, tracks));
        EXPECT_EQ(s.failure, nullptr);
        EXPECT_EQ(s.Lines(), lines);
        EXPECT_EQ(s.Tracks().at(0)->m_tempo, tempo);
    }
}

// Meta events fill the track's record and the song's facts, and stay in
// the track as events; channel messages link each channel's records.
TEST(Loader, MetaEventsAndChannelsFillTracksSongAndState)
{
    // A short payload, or a tempo of 0, sets nothing; the song's tempo is
    // the first of the last track that has one; the song is as long as its
    // longest track. A division of 0 leaves the default.
    Bytes shortOnes = Metas({ { 0x00, "\x05" }, { 0x51, "\x07\xA1" }, { 0x54, std::string("\x60\x00\x00\x00", 4) },
        { 0x58, "\x03\x02\x18" }, { 0x59, "\x01" }, { 0x03, "" }, { 0x51, std::string(3, '\0') } });
    Bytes tempos = Metas({ { 0x51, "\x09\x27\xC0" }, { 0x51, "\x0F\x42\x40" } });
    tempos.insert(tempos.end(), { 0x81, 0x00, 0x94, 60, 100 });
    Bytes first = Metas({ { 0x03, "Lead" }, { 0x04, "Flute" } });
    first.insert(first.end(), { 0x00, 0xC2, 73, 0x00, 0xC2, 74, 0x00, 0xB2, 7, 100, 0x00, 0xB2, 7, 90, 0x00, 0x95, 1, 1 });
    Bytes second = Metas({ { 0x04, "Bass" } });
    second.insert(second.end(), { 0x00, 0xC2, 33, 0x00, 0xC3, 34, 0x00, 0xF0, 0x00, 0x00, 0xF7, 0x00 });
    LoadedSong s(Smf(1, 480,
        { Metas({ { 0x03, "  Piano \t" }, { 0x03, " Keys\r\n" }, { 0x04, " Grand " }, { 0x00, "\x01\x02" },
              { 0x00, std::string("\x00\x07", 2) }, { 0x51, "\x07\xA1\x20" }, { 0x51, "\x0F\x42\x40" },
              { 0x58, "\x06\x03\x18\x08" }, { 0x58, "\x04\x02\x18\x08" }, { 0x59, "\xFE\x01" },
              { 0x59, std::string("\x00\x00", 2) }, { 0x54, std::string("\x60\x00\x00\x00\xFE", 5) } }),
            shortOnes, tempos, { 0x70, 0xFF, 0x2F, 0x00 }, first, second }));
    ASSERT_EQ(s.failure, nullptr);
    CTrack* t = s.Tracks().at(0);
    EXPECT_EQ(std::make_tuple(t->m_name, t->m_instrument), std::make_tuple(CString(L"Keys"), CString(L"Grand")));
    EXPECT_EQ(std::make_tuple(t->m_sequenceNumber, t->m_tempo, t->m_timeSignature, t->m_keySignature),
        std::make_tuple(7, 500000, 0x06031808, 0xFE01));
    EXPECT_EQ(s.Lines().at(0), "0 FF 03 '  Piano \t'");
    EXPECT_EQ(s.Events(0).size(), 12u);
    t = s.Tracks().at(1);
    EXPECT_EQ(std::make_tuple(t->m_sequenceNumber, t->m_tempo, t->m_timeSignature, t->m_keySignature),
        std::make_tuple(-1, -1, -1, -1));
    EXPECT_EQ(s.Events(1).size(), 7u);
    EXPECT_EQ(s.facts.m_smpteOffset, -2);
    EXPECT_EQ(std::make_tuple(s.song->m_tempo, s.facts.m_usPerQuarter, s.facts.m_ppqn),
        std::make_tuple(600000u, 600000LL, 480LL));
    EXPECT_EQ(CSongInfo::FromTracks(s.tracks).m_length, 128);
    EXPECT_EQ(LoadedSong(Smf(1, 0, {})).facts.m_ppqn, CSongFacts().m_ppqn);

    auto a = s.Events(4), b = s.Events(5);
    const CSongFacts::Channel* ch = s.facts.m_channels;
    // A channel's first message links the track's name; a channel whose name
    // link is taken gets the instrument on its next message; a track without
    // a name gives its instrument at once.
    EXPECT_EQ(std::make_tuple(ch[2].m_nameEvent, ch[2].m_instrumentEvent), std::make_tuple(a[0], a[1]));
    EXPECT_EQ(std::make_tuple(ch[5].m_nameEvent, ch[5].m_instrumentEvent), std::make_tuple(a[0], nullptr));
    EXPECT_EQ(ch[3].m_instrumentEvent, b[0]);
    // The second track's first program on channel 2 replaces the first's.
    EXPECT_EQ(std::make_tuple(ch[2].m_programEvent, ch[3].m_programEvent), std::make_tuple(b[1], nullptr));
    EXPECT_EQ(ch[2].m_volumeEvent, a[4]);
    // System-exclusive status bytes count as channels 0 and 7.
    EXPECT_EQ(std::make_tuple(ch[0].m_used, ch[2].m_used, ch[7].m_used, ch[1].m_used), std::make_tuple(TRUE, TRUE, TRUE, FALSE));
}

// Chunks of other types are skipped wherever they stand; a longer header is
// skipped whole, unless its length is plainly wrong.
TEST(Loader, UnknownChunksAndLongerHeadersAreSkipped)
{
    auto chunk = [](const char* type, std::vector<BYTE> body) {
        std::vector<BYTE> out(type, type + 4);
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(BYTE(body.size() >> shift));
        out.insert(out.end(), body.begin(), body.end());
        return out;
    };
    const std::vector<BYTE> a = chunk("MTrk", { 0x00, 0x90, 60, 100 }), b = chunk("MTrk", { 0x00, 0x80, 60, 0 });
    // A header of the length given (extra bytes 0xEE), declaring two tracks,
    // then the chunks.
    auto file = [](int headerLength, std::vector<std::vector<BYTE>> chunks) {
        std::vector<BYTE> out = Smf(1, 480, {}, 2);
        out[7] = BYTE(headerLength);
        out.resize(8 + std::max(headerLength, 6), 0xEE);
        for (const auto& c : chunks)
            out.insert(out.end(), c.begin(), c.end());
        return out;
    };
    std::vector<BYTE> misstated = file(6, { a, b }), cutShort = file(6, { a, chunk("XFIH", { 1, 2, 3 }) });
    misstated[7] = 7;
    cutShort.pop_back();
    const std::vector<std::string> both { "0 90 60 100", "|", "0 80 60 0" }, first { "0 90 60 100" };
    // What the case shows, the file, the failure, the events as read.
    for (const auto& [what, bytes, failure, lines] :
        std::vector<std::tuple<const char*, std::vector<BYTE>, const wchar_t*, std::vector<std::string>>> {
            { "between and before the tracks", file(6, { chunk("XFIH", { 1, 2 }), a, chunk("XFKM", {}), b }), nullptr, both },
            { "a header of 10 bytes", file(10, { a, b }), nullptr, both },
            { "a header that claims 7 bytes while the track stands at 14", misstated, nullptr, both },
            { "a chunk that runs past the end", cutShort, CMidiFileReader::kNoTrack, first },
            { "bytes that are no chunk type", file(6, { a, chunk("MT\x01k", {}), b }), CMidiFileReader::kNoTrack, first } }) {
        SCOPED_TRACE(what);
        LoadedSong s(bytes);
        EXPECT_EQ(s.failure, failure);
        EXPECT_EQ(s.Lines(), lines);
    }
}

// An RMID file reads as the Standard MIDI File in its data chunk, whatever
// its RIFF size says; a data chunk cut short holds what is left.
TEST(Loader, AnRmidFileReadsAsTheFileInside)
{
    Bytes body = Metas({ { 0x03, "Lead" }, { 0x51, "\x07\xA1\x20" } });
    body.insert(body.end(), { 0x00, 0xC0, 5, 0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0 });
    const std::vector<BYTE> smf = Smf(1, 96, { body, { 0x00, 0xF0, 0x01, 0xF7 } });
    const std::vector<std::string> all = LoadedSong(smf).Lines(), allButLast(all.begin(), all.end() - 1);
    std::vector<BYTE> wrapped = WrapRmid(smf), noSize = wrapped, cutShort = wrapped;
    std::fill(noSize.begin() + 4, noSize.begin() + 8, 0);
    cutShort.resize(cutShort.size() - 4);
    for (const auto& [what, bytes, lines] : std::vector<std::tuple<const char*, std::vector<BYTE>, std::vector<std::string>>> {
             { "whole", wrapped, all }, { "a RIFF size of 0", noSize, all }, { "the last event cut off", cutShort, allButLast } }) {
        SCOPED_TRACE(what);
        LoadedSong s(bytes);
        EXPECT_EQ(s.failure, nullptr);
        EXPECT_EQ(s.Lines(), lines);
        EXPECT_EQ(std::make_tuple(s.facts.m_ppqn, s.facts.m_usPerQuarter, s.Tracks().at(0)->m_name),
            std::make_tuple(96LL, 500000LL, CString(L"Lead")));
    }
    EXPECT_EQ(LoadedSong(std::vector<BYTE>(wrapped.begin(), wrapped.begin() + 10)).failure, CMidiFileReader::kNoRmidData);
}

TEST(Loader, EveryTruncationLoadsAPrefixOfTheWholeFile)
{
    // A track using every kind of event, with lengths of one and two bytes.
    Bytes body = Metas({ { 0x03, "Everything" }, { 0x51, "\x07\xA1\x20" } });
    body.insert(body.end(), { 0x00, 0xC0, 5, 0x00, 0xB0, 7, 100, 0x81, 0x00, 0x90, 60, 100, 0x30, 62, 90 });
    body.insert(body.end(), { 0x00, 0xF0, 0x81, 0x00 });
    body.insert(body.end(), 128, 0x11);
    body.insert(body.end(), { 0x10, 0xE0, 0x00, 0x40, 0x00, 0xF8, 0x00, 0xFF, 0x2F, 0x00 });
    const std::vector<BYTE> whole = Smf(1, 480, { body, { 0x00, 0x90, 1, 2 } });
    const std::vector<std::string> all = LoadedSong(whole).Lines();
    ASSERT_EQ(all.size(), 12u);
    for (size_t n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        LoadedSong cut(std::vector<BYTE>(whole.begin(), whole.begin() + n));
        const std::vector<std::string> some = cut.Lines();
        ASSERT_LE(some.size(), all.size());
        EXPECT_TRUE(std::equal(some.begin(), some.end(), all.begin()));
        // Short of the header nothing loads; short of a track header, or once
        // an event of the first track is cut off, the second track is missing.
        // Cutting the last track's only event loses just that event.
        if (n >= whole.size() - 4)
            EXPECT_EQ(std::make_tuple(cut.failure, some.size()), std::make_tuple(nullptr, all.size() - 1));
        else
            EXPECT_STREQ(cut.failure, n < 14 ? CMidiFileReader::kNoHeader : CMidiFileReader::kNoTrack);
    }
}

// Damaged files as the file generator writes them (the damage that a
// hand-made file shows in the tests above is left out), and files that
// cannot be read at all.
TEST(Loader, EachDamagedFileLoadsWithItsExpectedOutcome)
{
    const std::string tooLarge = std::string(TEST_BINARY_DIR) + "/song-too-large.mid";
    std::ofstream(tooLarge, std::ios::binary) << "MThd";
    std::filesystem::resize_file(tooLarge, CSongFile::kMaxFileSize + 1);
    // The file, the message (empty: none), whether a song record is made, the events per track.
    for (const auto& [name, message, song, events] : std::vector<std::tuple<std::string, std::wstring, bool, std::vector<int>>> {
             { "huge-chunk-length.mid", CMidiFileReader::kNoTrack, true, { 3 } },
             { "data-byte-without-running-status.mid", CMidiFileReader::kNoStatus, true, { 3, 0 } },
             { "zero-tracks.mid", L"", true, {} },
             { "riff-rmid.mid", L"", true, { 3 } },
             { "riff-rmid-without-data.mid", CMidiFileReader::kNoRmidData, false, {} },
             { "riff-wave.mid", CMidiFileReader::kNoRmidData, false, {} },
             { "no-such-file.mid", L"Cannot open the file: No such file or directory", false, {} },
             { "", L"Cannot open the file: Is a directory", false, {} },
             { "/dev/null", L"Cannot open the file: Not a regular file", false, {} },
             // A file whose length cannot be taken says why, never "Success".
             { "/proc/self/mem", L"Cannot read the file: Invalid argument", false, {} },
             { tooLarge, CSongFile::kTooLarge, false, {} } }) {
        SCOPED_TRACE(name);
        CSongFile file;
        EXPECT_EQ(file.Load(CString::FromUtf8(name[0] == '/' ? name : TEST_DATA_DIR "/midi/" + name)), message.empty());
        EXPECT_EQ(file.Failure(), message.c_str());
        EXPECT_EQ(file.m_pSongs != nullptr, song);
        std::vector<int> counts;
        for (CTrack* t : LoadedSong::Nodes(file.m_pTracks))
            counts.push_back(static_cast<int>(LoadedSong::Nodes(t->m_firstEvent).size()));
        EXPECT_EQ(counts, events);
    }
    std::remove(tooLarge.c_str());
}
