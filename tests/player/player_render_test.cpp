#include "player/CPracticeRender.h"
#include "tests/SmfBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

// 480 ticks a quarter at 120 beats per minute: 960 ticks a second. The
// first channel plays from 0 to 0.5 s, the second from 1 s to 1.5 s, in
// other registers; the song ends at 2 s.
std::vector<unsigned char> TwoParts()
{
    std::vector<unsigned char> events { 0x00, 0xFF, 0x51, 3, 0x07, 0xA1, 0x20, 0x00, 0xC0, 0, 0x00, 0xC1, 73,
        0x00, 0x90, 48, 100 };
    PutVarLen(events, 480);
    events.insert(events.end(), { 0x80, 48, 0 });
    PutVarLen(events, 480);
    events.insert(events.end(), { 0x91, 79, 100 });
    PutVarLen(events, 480);
    events.insert(events.end(), { 0x81, 79, 0 });
    PutVarLen(events, 480);
    events.insert(events.end(), { 0xFF, 0x2F, 0 });
    std::vector<unsigned char> file { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0 };
    PutTrackChunk(file, events);
    return file;
}

// The energy of the 16-bit stereo samples from one second to another.
double Energy(const fs::path& wav, double from, double to)
{
    std::ifstream in(wav, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t at = 12;
    while (at + 8 <= bytes.size() && std::string(&bytes[at], 4) != "data")
        at += 8 + (static_cast<unsigned char>(bytes[at + 4]) | static_cast<unsigned char>(bytes[at + 5]) << 8);
    at += 8;
    double sum = 0;
    for (size_t frame = size_t(from * 44100); frame < size_t(to * 44100); ++frame) {
        const size_t i = at + frame * 4;
        if (i + 4 > bytes.size())
            break;
        for (int side = 0; side < 2; ++side) {
            const auto sample = static_cast<std::int16_t>(
                static_cast<unsigned char>(bytes[i + 2 * side]) | static_cast<unsigned char>(bytes[i + 2 * side + 1]) << 8);
            sum += double(sample) * sample;
        }
    }
    return sum;
}

}

// Two practice tracks rendered side by side, each on a thread and clock of
// its own: with the first channel forward it sounds at full and the second
// channel far down; with the first channel gone it is silent where only that
// channel plays, and the second one is as in the song.
TEST(Render, EmphasisAndMinusOneTracksCarryTheirChannelsEnergy)
{
    if (!fs::exists("/usr/share/sounds/sf2/TimGM6mb.sf2"))
        GTEST_SKIP() << "no SoundFont";
    const fs::path dir = fs::temp_directory_path() / ("tabrino-render-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path song = dir / "two.mid";
    const std::vector<unsigned char> bytes = TwoParts();
    std::ofstream(song, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));

    CPracticeRender::Settings emphasis, minusOne;
    emphasis.practice.m_mix.Emphasize(0, 30);
    minusOne.practice.m_mix.MinusOne(0);
    CPracticeRender first(emphasis), second(minusOne), cancelled(minusOne);
    const fs::path a = dir / "a.wav", b = dir / "b.wav", c = dir / "c.wav";
    BOOL done[2] {};
    std::thread other([&] { done[1] = second.Run(CString::FromUtf8(song.string()), CString::FromUtf8(b.string())); });
    done[0] = first.Run(CString::FromUtf8(song.string()), CString::FromUtf8(a.string()));
    other.join();
    ASSERT_TRUE(done[0] && done[1]) << first.m_error.ToUtf8() << second.m_error.ToUtf8();
    EXPECT_EQ(first.m_progress, 1000);

    const double firstHere = Energy(a, 0.05, 0.45), firstThere = Energy(a, 1.05, 1.45);
    const double goneHere = Energy(b, 0.05, 0.45), goneThere = Energy(b, 1.05, 1.45);
    EXPECT_GT(firstHere, 0);
    EXPECT_LT(goneHere, firstHere * 1e-4) << "the channel left out still sounds";
    EXPECT_LT(firstThere, goneThere * 0.25) << "the other channel is not lowered";
    EXPECT_GT(firstThere, 0) << "the other channel is lowered, not gone";

    // A count-in of one bar (two seconds of 4/4 at 120) comes before the
    // song, which then sounds whole.
    CPracticeRender::Settings countIn;
    countIn.countIn.bars = 1;
    CPracticeRender counted(countIn);
    const fs::path d = dir / "d.wav";
    ASSERT_TRUE(counted.Run(CString::FromUtf8(song.string()), CString::FromUtf8(d.string())));
    EXPECT_NEAR(double(fs::file_size(d) - 44) / (44100 * 4), 4.0, 0.05);
    EXPECT_GT(Energy(d, 3.05, 3.45), firstThere);

    // A render stopped leaves no half file behind.
    cancelled.m_cancel = TRUE;
    EXPECT_FALSE(cancelled.Run(CString::FromUtf8(song.string()), CString::FromUtf8(c.string())));
    EXPECT_EQ(std::make_pair(cancelled.m_error, fs::exists(c)), std::make_pair(CString(L"Cancelled"), false));
    fs::remove_all(dir);
}

// A part's file name keeps only what is safe in any folder.
TEST(Render, PartFileNames)
{
    for (const auto& [channel, name, kind, file] : std::vector<std::tuple<int, const wchar_t*, const wchar_t*, const wchar_t*>> {
             { 0, L"Lead Vocal", L"emphasis", L"01-Lead_Vocal-emphasis.wav" },
             { 9, L"Drums", L"minus-one", L"10-Drums-minus-one.wav" },
             { 15, L"../../etc/passwd", L"emphasis", L"16-etc_passwd-emphasis.wav" },
             { 2, L"..", L"emphasis", L"03-channel-emphasis.wav" }, { 3, L"Gitarre \u00fc", L"emphasis", L"04-Gitarre-emphasis.wav" },
             { 4, L"A very long track name that goes on and on", L"minus-one", L"05-A_very_long_track_name_that_goes-minus-one.wav" } })
        EXPECT_EQ(CPracticeRender::PartFileName(channel, name, kind).ToUtf8(), CString(file).ToUtf8());
}
