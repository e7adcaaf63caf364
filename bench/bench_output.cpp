// What one MIDI byte costs on its way through the output stage to the
// capture and synthesizer ports: a dense stream of note messages on all
// sixteen channels is sent as fast as the stage takes it, and the wall and
// processor time per byte are reported, beside a plain write-and-flush of
// the same capture line for reference.
//
// Usage: bench_output [MESSAGES]  (default 60000)

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

namespace {

using Clock = std::chrono::steady_clock;

struct Cost {
    double wallMicros;
    double cpuMicros;
};

template<typename Work>
Cost Measure(long bytes, Work work)
{
    ULONGLONG cpu = GetProcessCpuMicroseconds();
    Clock::time_point start = Clock::now();
    work();
    double wall = static_cast<double>(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count());
    double used = static_cast<double>(GetProcessCpuMicroseconds() - cpu);
    return { wall / static_cast<double>(bytes), used / static_cast<double>(bytes) };
}

void Print(const char* what, const Cost& cost)
{
    std::printf("  %-36s %7.2f us a byte (processor %7.2f us)\n", what, cost.wallMicros, cost.cpuMicros);
}

// Note-on and note-off pairs in four-note chords across the sixteen
// channels, the pattern of a dense song.
void SendDense(CSerialMidiOut& out, CPlayerState& state, long messages)
{
    CMidiEvent event;
    for (long i = 0; i < messages; ++i) {
        int channel = static_cast<int>((i / 8) % 16);
        bool on = (i / 4) % 2 == 0;
        event.m_status = static_cast<BYTE>((on ? 0x90 : 0x80) + channel);
        event.m_data1 = static_cast<BYTE>(48 + (i % 4) * 4);
        event.m_data2 = on ? 90 : 0;
        out.Send(&event, &state, FALSE);
    }
}

void ThroughPort(const char* label, const std::string& port, long messages)
{
    CSerialMidiOut out;
    CPlayerState state;
    if (port != "none" && !out.OpenPort(CString::FromUtf8(port))) {
        std::printf("  %-36s cannot be opened\n", label);
        return;
    }
    out.Start();
    Print(label, Measure(messages * 3, [&] { SendDense(out, state, messages); }));
    out.Stop();
    out.ClosePort();
}

}

int main(int argc, char** argv)
{
    long messages = argc > 1 ? std::atol(argv[1]) : 60000;
    if (messages <= 0)
        messages = 60000;
    std::filesystem::path dir = std::filesystem::temp_directory_path();
    std::string capture = (dir / "bench_output_capture.txt").string();
    std::string wav = (dir / "bench_output.wav").string();

    std::printf("%ld messages, %ld bytes\n", messages, messages * 3);
    {
        std::FILE* file = std::fopen(capture.c_str(), "w");
        long bytes = messages * 3;
        Clock::time_point opened = Clock::now();
        Print("reference: fprintf and fflush a line", Measure(bytes, [&] {
            for (long i = 0; i < bytes; ++i) {
                long long us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - opened).count();
                std::fprintf(file, "%lld %02X\n", us, static_cast<unsigned>(i & 0x7F));
                std::fflush(file);
            }
        }));
        std::fclose(file);
    }
    ThroughPort("stage to capture:FILE", "capture:" + capture, messages);
    ThroughPort("stage to synth:FILE.wav", "synth:" + wav, messages);
    ThroughPort("stage to none (rules only)", "none", messages);
    std::filesystem::remove(capture);
    std::filesystem::remove(wav);
    return 0;
}
