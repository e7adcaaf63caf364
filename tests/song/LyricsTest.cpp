#include "platform/text/CTextEncoding.h"
#include "song/CLyrics.h"
#include "tests/song/LoadedSong.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

// The lines as "text", a paragraph's first line as "¶text", in UTF-8.
std::vector<std::string> Lines(const CLyrics& lyrics)
{
    std::vector<std::string> out;
    for (const CLyrics::Line& line : lyrics.m_lines)
        out.push_back((line.paragraph ? "\xC2\xB6" : "") + line.text.ToUtf8());
    return out;
}

// A track of meta events of one type (0x01 text, 0x05 lyric), one a beat.
Bytes Texts(int type, const std::vector<std::string>& texts)
{
    Bytes body;
    for (const std::string& text : texts)
        AddMeta(body, type, text, 96);
    AddMeta(body, 0x2F, "");
    return body;
}

}

// The karaoke file tools/make-karaoke.py writes: the title and information
// lines of both header tracks, the words of the "Words" track in Latin-1,
// judged as such over all of them, with their lines, the second verse's
// paragraph and what is sung at each tick.
TEST(Lyrics, KaraokeFileHasItsTitleLinesAndAccents)
{
    std::ifstream in(std::string(TEST_DATA_DIR) + "/midi/ode-latin1.kar", std::ios::binary);
    const std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LoadedSong song(bytes);
    ASSERT_EQ(song.failure, nullptr);
    CLyrics lyrics;
    lyrics.Build(song.tracks, "");
    EXPECT_EQ(std::make_tuple(lyrics.m_track, lyrics.m_lyricEvents, lyrics.m_encoding, lyrics.m_forced),
        std::make_tuple(1, FALSE, std::string("WINDOWS-1252"), FALSE));
    ASSERT_EQ(lyrics.m_title.size(), 3u);
    EXPECT_EQ(lyrics.m_title[0].ToUtf8(), "Ode an die Freude");
    std::string info;
    for (const CLyrics::Info& line : lyrics.m_info)
        info += CString(std::wstring(1, line.tag)).ToUtf8() + ":" + line.text.ToUtf8() + " ";
    EXPECT_EQ(info, "K:MIDI KARAOKE FILE V:0100 I:Gesungen für TabrinoCE L:GERM ");
    EXPECT_EQ(Lines(lyrics), (std::vector<std::string> { "Freude, schöner Götterfunken,", "Tochter aus Elysium,",
                                 "Wir betreten feuertrunken,", "Himmlische, dein Heiligtum!",
                                 "¶Deine Zauber binden wieder,", "was die Mode streng geteilt;",
                                 "alle Menschen werden Brüder,", "wo dein sanfter Flügel weilt." }));

    // A bar of 1920 ticks before the singing, a syllable a quarter (480).
    EXPECT_EQ(lyrics.m_lines[0].tick, 1920);
    struct At {
        LONGLONG tick;
        int line;
        const char* sung;
    };
    for (const At& at : { At { 0, 0, "" }, At { 1920, 0, "Freu" }, At { 1920 + 2 * 480 + 479, 0, "Freude, schö" },
             At { 1920 + 8 * 480 - 1, 0, "Freude, schöner Götterfunken," }, At { 1920 + 8 * 480, 1, "Toch" },
             At { 1 << 30, 7, "wo dein sanfter Flügel weilt." } }) {
        const int line = lyrics.LineAt(at.tick);
        EXPECT_EQ(line, at.line) << at.tick;
        EXPECT_EQ(lyrics.m_lines[static_cast<size_t>(line)].text.Left(lyrics.SungLength(line, at.tick)).ToUtf8(),
            at.sung)
            << at.tick;
    }

    // Forced to read the Latin-1 bytes as UTF-8, each accent is a
    // replacement character and the rest stays.
    lyrics.Build(song.tracks, "UTF-8");
    EXPECT_TRUE(lyrics.m_forced);
    EXPECT_EQ(lyrics.m_lines[0].text.ToUtf8(), "Freude, sch\xEF\xBF\xBDner G\xEF\xBF\xBDtterfunken,");
}

// Where the words come from and how they break, scenario by scenario.
TEST(Lyrics, SourcesBreaksAndEncodings)
{
    struct Case {
        const char* name;
        std::vector<Bytes> tracks;
        const char* encoding;
        int track;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        { "lyric events: CR, LF and CR LF break lines, two breaks a paragraph, spaces at line ends go",
            { Texts(0x05, { "Hel", "lo ", "world  \r", "  Sec", "ond\r\n", "\nThird", " and\n", "/Fourth" }) }, "", 0,
            { "Hello world", "Second", "¶Third and", "Fourth" } },
        { "lyric events win over text events, from the track that has most of them",
            { Texts(0x05, { "a ", "b" }), Texts(0x05, { "x ", "y ", "z" }),
                Texts(0x01, { "t1 ", "t2 ", "t3 ", "t4 ", "t5" }) },
            "", 1, { "x y z" } },
        { "text events: the track of syllables, not the one of long notes; @ lines never sung",
            { Texts(0x01, { "Sequenced in a studio long ago by somebody", "@KMIDI KARAOKE FILE", "short" }),
                Texts(0x01, { "@LENGL", "@TTitle", "\\One ", "two ", "/three ", "four" }) },
            "", 1, { "One two", "three four" } },
        { "three text events are notes about the file, not words",
            { Texts(0x01, { "one ", "two ", "three" }) }, "", -1, {} },
        { "Windows-1251 judged over all the words at once",
            { Texts(0x05, { "\xCF\xF3\xF1\xF2\xFC ", "\xE2\xF1\xE5\xE3", "\xE4\xE0 ", "\xE1\xF3", "\xE4\xE5\xF2 ", "\xF1\xEE\xEB\xED",
                              "\xF6\xE5" }) },
            "", 0, { "Пусть всегда будет солнце" } },
        { "Shift-JIS judged", { Texts(0x05, { "\x82\xB3\x82\xAD\x82\xE7 ", "\x82\xB3\x82\xAD\x82\xE7" }) }, "", 0,
            { "さくら さくら" } },
        { "valid UTF-8 is taken as it is", { Texts(0x05, { "Gr\xC3\xBC", "\xC3\x9F" "e" }) }, "", 0, { "Grüße" } },
        { "an encoding forced over UTF-8 (its control code 0x9F dropped)", { Texts(0x05, { "Gr\xC3\xBC", "\xC3\x9F" "e" }) }, "ISO-8859-1", 0,
            { "GrÃ¼Ãe" } },
    };
    for (const Case& c : cases) {
        LoadedSong song(Smf(1, 96, c.tracks));
        CLyrics lyrics;
        lyrics.Build(song.tracks, c.encoding);
        EXPECT_EQ(lyrics.m_track, c.track) << c.name;
        EXPECT_EQ(Lines(lyrics), c.lines) << c.name << " (" << lyrics.m_encoding << ")";
    }
}
