#include "midiout/CSerialMidiOut.h"
#include "platform/comm/CAlsaLibrary.h"
#include "platform/comm/CFluidSynth.h"
#include "platform/comm/Comm.h"
#include "platform/core/DrivenTickCount.h"
#include "platform/core/ErrorText.h"
#include "platform/core/TickCount.h"
#include "player/CPlayerState.h"
#include "song/CMidiEvent.h"
#include "tests/support/CMessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

// The synthesizer port, reached through the output stage that opens it.
class SynthPort : public ::testing::Test {
protected:
    void Send(BYTE status, BYTE data1, BYTE data2)
    {
        CMidiEvent event;
        event.m_status = status;
        event.m_data1 = data1;
        event.m_data2 = data2;
        m_out.Send(&event, &m_state, FALSE);
    }

    CMessageBoxRecorder m_boxes;
    CPlayerState m_state;
    CSerialMidiOut m_out;
};

struct Wav {
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;
};

std::uint32_t Le32(const std::vector<unsigned char>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Reads a 16-bit PCM file and checks that its header matches its size.
bool ReadWav(const std::string& path, Wav& wav)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF" || std::string(b.begin() + 8, b.begin() + 16) != "WAVEfmt ")
        return false;
    EXPECT_EQ(Le32(b, 4), b.size() - 8);
    EXPECT_EQ(Le32(b, 40), b.size() - 44);
    EXPECT_EQ(b[20] | (b[21] << 8), 1);
    EXPECT_EQ(b[34] | (b[35] << 8), 16);
    wav.channels = b[22] | (b[23] << 8);
    wav.rate = static_cast<int>(Le32(b, 24));
    for (std::size_t i = 44; i + 1 < b.size(); i += 2)
        wav.samples.push_back(static_cast<std::int16_t>(b[i] | (b[i + 1] << 8)));
    return true;
}

double Rms(const Wav& wav, double fromSeconds, double toSeconds)
{
    auto first = static_cast<std::size_t>(fromSeconds * wav.rate) * static_cast<std::size_t>(wav.channels);
    auto last = std::min(wav.samples.size(), static_cast<std::size_t>(toSeconds * wav.rate) * static_cast<std::size_t>(wav.channels));
    if (last <= first)
        return -1;
    double sum = 0;
    for (std::size_t i = first; i < last; ++i)
        sum += static_cast<double>(wav.samples[i]) * wav.samples[i];
    return std::sqrt(sum / static_cast<double>(last - first));
}

}

// The file holds the sound of each message from the moment it was played,
// on the system's clock and on a clock moved by hand alike. On the clock
// moved by hand the file is exactly as long as the clock ran, and the note
// starts at the synthesizer's first step of 64 frames after its time.
TEST_F(SynthPort, SynthesizerRendersANoteIntoAWavFileAtItsTimeAndFallsSilentAfterIt)
{
    for (bool driven : { false, true }) {
        std::optional<DrivenTickCount> clock;
        if (driven)
            clock.emplace(0);
        auto wait = [&](DWORD ms) { clock ? clock->Advance(ms) : Sleep(ms); };
        std::string path = std::string(TEST_BINARY_DIR) + "/midiout_note.wav";
        std::remove(path.c_str());
        ASSERT_TRUE(m_out.OpenPort(CString::FromUtf8("synth:" + path)));
        EXPECT_TRUE(m_boxes.Entries().empty());
        m_out.Start();
        wait(200);
        Send(0xC0, 0, 0); // piano
        Send(0x90, 60, 110);
        wait(700);
        Send(0x80, 60, 0);
        wait(1800);
        m_out.Stop();
        m_out.ClosePort();

        Wav wav;
        ASSERT_TRUE(ReadWav(path, wav));
        EXPECT_EQ(wav.channels, 2);
        EXPECT_EQ(wav.rate, 44100);
        double seconds = static_cast<double>(wav.samples.size()) / wav.channels / wav.rate;
        EXPECT_GT(seconds, 2.6);
        EXPECT_LT(Rms(wav, 0.0, 0.15), 4.0) << "silence before the note";
        EXPECT_GT(Rms(wav, 0.35, 0.8), 300.0) << "the note sounds";
        EXPECT_LT(Rms(wav, seconds - 0.3, seconds), 4.0) << "silence once the release has died away";
        if (driven) {
            EXPECT_EQ(wav.samples.size(), 2u * 119070u) << "2.7 s of sound";
            std::size_t onset = 0;
            while (onset < wav.samples.size() && std::abs(wav.samples[onset]) < 16)
                ++onset;
            onset /= 2;
            EXPECT_GE(onset, 8832u) << "0.2 s is frame 8820";
            EXPECT_LT(onset, 8832u + 64u);
        }
    }
}

TEST_F(SynthPort, SynthesizerWithoutSoundFontOrSoundOutputCannotBeOpened)
{
    EXPECT_FALSE(m_out.OpenPort(L"synth:/nonexistent/folder/out.wav"));
    // A FIFO nobody reads fails at once instead of holding the open.
    const std::string fifo = std::string(TEST_BINARY_DIR) + "/midiout_unread.fifo";
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(m_out.OpenPort(CString::FromUtf8("synth:" + fifo)));
    unlink(fifo.c_str());
    SetSynthSoundFont(L"/nonexistent/none.sf2");
    EXPECT_FALSE(m_out.OpenPort(L"synth:/tmp/never-written.wav"));
    SetSynthSoundFont(L"/usr/share/sounds/sf2/TimGM6mb.sf2");
    SetSynthAudioDriver(L"no-such-driver");
    EXPECT_FALSE(m_out.OpenPort(L"synth"));
    SetSynthAudioDriver(L"");
    auto entries = m_boxes.Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].text, L"Unable to open the port\nPort synth:/nonexistent/folder/out.wav: No such file or directory");
    EXPECT_EQ(entries[1].text, CString::FromUtf8("Unable to open the port\nPort synth:" + fifo + ": No such device or address"));
    EXPECT_EQ(entries[2].text, L"Unable to open the port\nPort synth:/tmp/never-written.wav: SoundFont not found");
    EXPECT_EQ(entries[3].text, L"Unable to open the port\nPort synth: No such device");
    for (const auto& entry : entries)
        EXPECT_EQ(entry.caption, L"Error");
    EXPECT_EQ(m_out.m_hPort, INVALID_HANDLE_VALUE);
}

// The disk fills up while the file is rendered on the system's clock (the
// renderer's thread meets the failure) or on a clock moved by hand (the
// sound rendered for a message meets it).
// The synthesizer's and ALSA's libraries are loaded at run time: a file
// that is missing, or a library that lacks one of the functions, loads as
// nothing rather than as a table with holes; the error that then fails a
// port names the library.
TEST(RunTimeLibraries, LoadWholeOrNotAtAll)
{
    auto check = [](auto load, const char* library, const char* missing) {
        for (const auto& [file, loads] : { std::pair { library, true }, std::pair { missing, false },
                 std::pair { "libm.so.6", false } }) {
            auto table = load(file);
            ASSERT_EQ(table != nullptr, loads) << file;
            if (table)
                table->ForEachFunction([](const char* name, auto function) { EXPECT_NE(function, nullptr) << name; });
        }
    };
    check(&CFluidSynth::Load, CFluidSynth::kLibrary, "libfluidsynth.so.0-missing");
    check(&CAlsaLibrary::Load, CAlsaLibrary::kLibrary, "libasound.so.0-missing");
    EXPECT_NE(CFluidSynth::Get(), nullptr);
    EXPECT_NE(CAlsaLibrary::Get(), nullptr);
    EXPECT_EQ(ErrorText(ERROR_NO_SYNTHESIZER), L"the synthesizer's library libfluidsynth.so.3 cannot be loaded");
    EXPECT_EQ(ErrorText(ERROR_NO_ALSA), L"the ALSA library libasound.so.2 cannot be loaded");
}

TEST_F(SynthPort, AWavFileThatCanTakeNoMoreStopsTheOutputAndKeepsAnHonestHeader)
{
    for (bool driven : { false, true }) {
        std::optional<DrivenTickCount> clock;
        if (driven)
            clock.emplace(0);
        std::string path = std::string(TEST_BINARY_DIR) + "/midiout_full.wav";
        std::remove(path.c_str());
        ASSERT_TRUE(m_out.OpenPort(CString::FromUtf8("synth:" + path)));
        // The file may not grow past 100,000 bytes, about half a second of
        // sound: a disk that fills up while the song plays.
        rlimit old {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit limited = old;
        limited.rlim_cur = 100000;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        m_out.Start();
        for (int i = 0; i < 300 && !m_out.WriteFailed(); ++i) {
            Send(0x90, 60, 100);
            clock ? clock->Advance(10) : Sleep(10);
        }
        m_out.Stop();
        CString text;
        EXPECT_TRUE(m_out.TakeWriteFailure(text)) << driven;
        m_out.ClosePort();
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(text, CString::FromUtf8("Port synth:" + path + ": write failed: File too large"));
        Wav wav;
        ASSERT_TRUE(ReadWav(path, wav)) << "the header states exactly the data the file holds";
        EXPECT_GT(wav.samples.size(), 0u);
    }
}
