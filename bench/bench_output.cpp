// What one MIDI byte costs on its way through the output stage to the
// capture and synthesizer ports. The stream is the dense song of the
// player's worst case: sixteen channels, a four-note chord on each every
// 10 ms and the previous chord's note-offs, 12,800 messages a second, sent
// in real time. The time spent inside the stage is reported per byte and as
// a share of real time, beside a plain write-and-flush of the same capture
// line for reference.
//
// Usage: bench_output [SECONDS]  (default 3)

#include "midiout/CSerialMidiOut.h"
#include "platform/core/CString.h"
#include "platform/core/Console.h"
#include "player/CPlayerState.h"
#include "song/CMidiEvent.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kChordsPerSecond = 100;
constexpr int kMessagesPerChord = 16 * 4 * 2;

double MicrosSince(Clock::time_point start)
{
    return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count()) / 1e3;
}

void Report(const char* what, double busyMicros, double cpuMicros, long bytes, double seconds)
{
    std::printf("  %-30s %6.2f us a byte (processor %6.2f us), busy %5.1f %% of real time\n", what,
        busyMicros / static_cast<double>(bytes), cpuMicros / static_cast<double>(bytes),
        100.0 * busyMicros / (seconds * 1e6));
}

// One chord period: the note-offs of the previous chord, then the new chord,
// on every channel.
void SendChord(CSerialMidiOut& out, CPlayerState& state, int chord)
{
    CMidiEvent event;
    for (int channel = 0; channel < 16; ++channel) {
        for (int off = 0; off < 2; ++off) {
            int base = 48 + ((chord + 1 - off) % 12);
            for (int k = 0; k < 4; ++k) {
                event.m_status = static_cast<BYTE>((off ? 0x90 : 0x80) + channel);
                event.m_data1 = static_cast<BYTE>(base + 4 * k);
                event.m_data2 = off ? 80 : 0;
                out.Send(&event, &state, FALSE);
            }
        }
    }
}

void ThroughPort(const char* label, const std::string& port, double seconds)
{
    CSerialMidiOut out;
    CPlayerState state;
    if (port != "none" && !out.OpenPort(CString::FromUtf8(port))) {
        std::printf("  %-30s cannot be opened\n", label);
        return;
    }
    out.Start();
    int chords = static_cast<int>(seconds * kChordsPerSecond);
    double busy = 0;
    ULONGLONG cpu = GetProcessCpuMicroseconds();
    Clock::time_point start = Clock::now();
    for (int chord = 0; chord < chords; ++chord) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(chord * 1000 / kChordsPerSecond));
        Clock::time_point begin = Clock::now();
        SendChord(out, state, chord);
        busy += MicrosSince(begin);
    }
    double used = static_cast<double>(GetProcessCpuMicroseconds() - cpu);
    Report(label, busy, used, static_cast<long>(chords) * kMessagesPerChord * 3, seconds);
    out.Stop();
    out.ClosePort();
}

}

int main(int argc, char** argv)
{
    double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    if (seconds <= 0)
        seconds = 3.0;
    std::filesystem::path dir = std::filesystem::temp_directory_path();
    std::string capture = (dir / "bench_output_capture.txt").string();
    std::string wav = (dir / "bench_output.wav").string();

    long messages = static_cast<long>(seconds * kChordsPerSecond) * kMessagesPerChord;
    std::printf("dense song: %d messages a second for %.1f s, %ld bytes\n", kChordsPerSecond * kMessagesPerChord, seconds,
        messages * 3);
    {
        std::FILE* file = std::fopen(capture.c_str(), "w");
        long bytes = messages * 3;
        ULONGLONG cpu = GetProcessCpuMicroseconds();
        Clock::time_point opened = Clock::now();
        for (long i = 0; i < bytes; ++i) {
            long long us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - opened).count();
            std::fprintf(file, "%lld %02X\n", us, static_cast<unsigned>(i & 0x7F));
            std::fflush(file);
        }
        double busy = MicrosSince(opened);
        std::fclose(file);
        Report("reference: fprintf and fflush", busy, static_cast<double>(GetProcessCpuMicroseconds() - cpu), bytes,
            seconds);
    }
    ThroughPort("stage to capture:FILE", "capture:" + capture, seconds);
    ThroughPort("stage to synth:FILE.wav", "synth:" + wav, seconds);
    ThroughPort("stage to no port (rules only)", "none", seconds);
    std::filesystem::remove(capture);
    std::filesystem::remove(wav);
    return 0;
}
