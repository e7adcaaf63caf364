// Plays songs in real time through the capture port and reports how late
// every channel message went out against its ideal time (the start anchor
// plus the song time of its tick along the tempo map), how many were lost,
// any drift over the song, and the processor time the process used while
// playing and idle. The songs: the largest of the openttd-openmsx corpus,
// one with tempo changes from it, the demo song, and a dense song made here
// (16 channels, a 4-note chord on each every 10 ms: 12800 messages a second).
// Then renders every song of the corpus and the demo song through the
// built-in synthesizer into a WAV file on the driven clock, as
// `tabrino-play --render` does, and reports how many times faster than real
// time that went (SoundFont loading included).
//
// Usage: bench_playback [SECONDS_PER_SONG [IDLE_SECONDS]]  (default 25 and 5)

#include "app/CTabrinoDlg.h"
#include "platform/core/Console.h"
#include "platform/core/DrivenTickCount.h"
#include "platform/core/TickCount.h"
#include "player/CDrivenPlayer.h"
#include "player/CPlayerEngine.h"
#include "player/CTransport.h"
#include "song/CTrack.h"

#include "bench/DenseSong.h"
#include "song/CTempoMap.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long long MicrosNow()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

struct Captured {
    long long micros;
    std::vector<int> bytes;
};

std::vector<Captured> ReadCapture(const std::string& path)
{
    std::vector<Captured> messages;
    std::ifstream in(path);
    long long micros;
    std::string hex;
    while (in >> micros >> hex) {
        int byte = std::stoi(hex, nullptr, 16);
        if (byte >= 0x80 || messages.empty())
            messages.push_back({ micros, {} });
        messages.back().bytes.push_back(byte);
    }
    return messages;
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// Least-squares slope of lateness over ideal time, in ms per minute.
double DriftPerMinute(const std::vector<double>& at, const std::vector<double>& late)
{
    double n = static_cast<double>(at.size());
    if (n < 2)
        return 0;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < at.size(); ++i) {
        sx += at[i];
        sy += late[i];
        sxx += at[i] * at[i];
        sxy += at[i] * late[i];
    }
    double den = n * sxx - sx * sx;
    return den == 0 ? 0 : (n * sxy - sx * sy) / den * 60000.0;
}

// Starts the player thread and plays the loaded song until it ends or the
// seconds are over; returns the seconds played and the processor seconds
// the process used meanwhile.
std::pair<double, double> PlayFor(CTabrinoDlg& dialog, double seconds)
{
    CPlayerState& state = dialog.m_playerState;
    dialog.StartPlayerThread();
    Sleep(200);
    ULONGLONG cpuStart = GetProcessCpuMicroseconds();
    long long wallStart = MicrosNow();
    CTransport(state, nullptr, TRUE).Play();
    while (state.m_playState != STATE_STOPPED && MicrosNow() - wallStart < static_cast<long long>(seconds * 1e6))
        Sleep(50);
    return { static_cast<double>(MicrosNow() - wallStart) / 1e6,
        static_cast<double>(GetProcessCpuMicroseconds() - cpuStart) / 1e6 };
}

// The player alone, with nothing to write to: its own processor time.
void PlayWithoutPort(const std::string& file, double seconds)
{
    CTabrinoDlg dialog;
    dialog.OpenFile(CString::FromUtf8(file), CString());
    auto [played, cpu] = PlayFor(dialog, seconds);
    CTransport(dialog.m_playerState, nullptr, TRUE).Stop();
    std::printf("%s without a port: %.1f s played, cpu %.3f %% of one core\n",
        std::filesystem::path(file).filename().c_str(), played, 100.0 * cpu / played);
}

void PlaySong(const std::string& file, double seconds, double idleSeconds)
{
    CTabrinoDlg dialog;
    CPlayerState& state = dialog.m_playerState;
    dialog.OpenFile(CString::FromUtf8(file), CString());
    CTransport transport(state, nullptr, TRUE);
    if (!dialog.m_pTracks || state.m_length == 0) {
        std::printf("%s: nothing to play\n", file.c_str());
        return;
    }
    std::string capture = (std::filesystem::temp_directory_path() / "bench_playback_capture.txt").string();
    long long openedMicros = MicrosNow();
    if (!dialog.m_output.OpenPort(CString::FromUtf8("capture:" + capture))) {
        std::printf("%s: the capture port cannot be opened\n", file.c_str());
        return;
    }
    auto [playedSeconds, playCpu] = PlayFor(dialog, seconds);
    LONGLONG anchor = state.m_startTime;
    LONGLONG stopTick = state.m_currentTick;
    transport.Stop();
    dialog.m_output.ClosePort();

    ULONGLONG cpuStart = GetProcessCpuMicroseconds();
    long long wallStart = MicrosNow();
    Sleep(static_cast<DWORD>(idleSeconds * 1000));
    double idleWall = static_cast<double>(MicrosNow() - wallStart) / 1e6;
    double idleCpu = static_cast<double>(GetProcessCpuMicroseconds() - cpuStart) / 1e6;

    // The clock anchor counts microseconds of the steady clock; the capture
    // counts them from the port's opening.
    long long anchorInCapture = anchor - openedMicros;

    // Each captured song message is matched to the pending event of the
    // track whose next channel event it is (tracks go out in file order).
    std::vector<std::deque<const CMidiEvent*>> pending;
    size_t expected = 0;
    CRing::ForEach(dialog.m_pTracks, [&](CTrack* track) {
        std::deque<const CMidiEvent*> events;
        CRing::ForEach(track->m_firstEvent, [&](CMidiEvent* e) {
            if (e->m_status < 0xF0) {
                events.push_back(e);
                // Due before the stop (or before the song's last tick,
                // whose events are not sent).
                if (e->m_tick < std::min(stopTick, state.m_length.load()))
                    ++expected;
            }
        });
        pending.push_back(std::move(events));
    });
    LONGLONG ppqn = state.m_ppqn;
    LONGLONG usPerQuarter = state.m_usPerQuarter;
    const CTempoMap& tempo = state.m_tempoMap;
    std::vector<Captured> messages = ReadCapture(capture);
    std::filesystem::remove(capture);
    std::vector<double> lateness, at, wake;
    LONGLONG batchTick = -1;
    size_t unmatched = 0;
    size_t matchedDue = 0;
    // The start sequence (all-off and volume on 16 channels) comes first.
    for (size_t i = 64; i < messages.size(); ++i) {
        const Captured& m = messages[i];
        if (m.bytes.size() < 2 || m.bytes[0] >= 0xF0)
            continue;
        const CMidiEvent* match = nullptr;
        std::deque<const CMidiEvent*>* from = nullptr;
        for (auto& events : pending) {
            if (!events.empty() && events.front()->m_status == m.bytes[0]
                && events.front()->m_data1 == m.bytes[1]
                && (!match || events.front()->m_tick < match->m_tick)) {
                match = events.front();
                from = &events;
            }
        }
        if (!match) {
            ++unmatched;
            continue;
        }
        from->pop_front();
        if (match->m_tick < std::min(stopTick, state.m_length.load()))
            ++matchedDue;
        double ideal = static_cast<double>(anchorInCapture)
            + static_cast<double>(tempo.MicrosAt(match->m_tick, ppqn, usPerQuarter));
        lateness.push_back((static_cast<double>(m.micros) - ideal) / 1000.0);
        at.push_back(ideal / 1000.0);
        // The first message of the events due at one tick shows how late the
        // player woke; those after it wait for the output as well.
        if (match->m_tick != batchTick)
            wake.push_back(lateness.back());
        batchTick = match->m_tick;
    }
    // The final all-off of the stop is not a song message.
    if (unmatched >= 48)
        unmatched -= 48;

    std::string name = std::filesystem::path(file).filename().string();
    std::printf("%s: %.1f s played (song %.1f s), %zu channel messages, %zu lost, %zu unmatched\n", name.c_str(),
        playedSeconds, static_cast<double>(tempo.MicrosAt(state.m_length, ppqn, usPerQuarter)) / 1e6,
        lateness.size(), expected - std::min(expected, matchedDue), unmatched);
    std::printf("  lateness ms: median %.3f  p99 %.3f  max %.3f  min %.3f\n", Percentile(lateness, 0.5),
        Percentile(lateness, 0.99), lateness.empty() ? 0.0 : *std::max_element(lateness.begin(), lateness.end()),
        lateness.empty() ? 0.0 : *std::min_element(lateness.begin(), lateness.end()));
    std::printf("  first message of each tick: median %.3f  p99 %.3f  (%zu ticks)\n", Percentile(wake, 0.5),
        Percentile(wake, 0.99), wake.size());
    // Outliers sway the slope; the medians of the first and the last fifth
    // show a drift too, unswayed.
    size_t fifth = lateness.size() / 5;
    std::vector<double> head(lateness.begin(), lateness.begin() + static_cast<std::ptrdiff_t>(fifth));
    std::vector<double> tail(lateness.end() - static_cast<std::ptrdiff_t>(fifth), lateness.end());
    std::printf("  drift: %.4f ms per minute (slope); median %.3f ms in the first fifth, %.3f ms in the last\n",
        DriftPerMinute(at, lateness), Percentile(head, 0.5), Percentile(tail, 0.5));
    std::printf("  cpu: playing %.3f %% of one core, idle %.3f %%\n", 100.0 * playCpu / playedSeconds,
        100.0 * idleCpu / idleWall);
}

struct Rendered {
    double sound;
    double wall;
    double cpu;
};

// Renders the song into a WAV file: the seconds of sound, the seconds it
// took and the processor seconds it used, or nothing when the song or the
// port cannot be opened.
std::optional<Rendered> RenderSong(const std::string& file, const std::string& wav)
{
    CTabrinoDlg dialog;
    CPlayerState& state = dialog.m_playerState;
    dialog.OpenFile(CString::FromUtf8(file), CString());
    if (!dialog.m_pTracks || state.m_length == 0)
        return std::nullopt;
    ULONGLONG cpuStart = GetProcessCpuMicroseconds();
    long long wallStart = MicrosNow();
    DrivenTickCount clock(0);
    if (!dialog.m_output.OpenPort(CString::FromUtf8("synth:" + wav)))
        return std::nullopt;
    CTransport(state, nullptr, FALSE).Play();
    CDrivenPlayer::Run(dialog, clock, {});
    dialog.m_output.ClosePort();
    return Rendered { static_cast<double>(clock.Micros()) / 1e6, static_cast<double>(MicrosNow() - wallStart) / 1e6,
        static_cast<double>(GetProcessCpuMicroseconds() - cpuStart) / 1e6 };
}

// The speed against the wall clock depends on what else the machine runs;
// against the processor time it does much less.
void RenderSongs(const std::vector<std::string>& songs)
{
    std::string wav = (std::filesystem::temp_directory_path() / "bench_playback_render.wav").string();
    std::vector<double> speeds, cpuSpeeds;
    Rendered total {};
    std::printf("rendering into a WAV file on the driven clock (speed: seconds of sound per second of wall clock, "
                "and per processor second):\n");
    for (const std::string& song : songs) {
        std::string name = std::filesystem::path(song).filename().string();
        auto rendered = RenderSong(song, wav);
        if (!rendered || rendered->wall <= 0 || rendered->cpu <= 0) {
            std::printf("  %s: cannot be rendered\n", name.c_str());
            continue;
        }
        speeds.push_back(rendered->sound / rendered->wall);
        cpuSpeeds.push_back(rendered->sound / rendered->cpu);
        total.sound += rendered->sound;
        total.wall += rendered->wall;
        total.cpu += rendered->cpu;
        std::printf("  %-32s %6.1f s of sound in %5.2f s (cpu %5.2f s): %5.1fx real time, %5.1fx per cpu second\n",
            name.c_str(), rendered->sound, rendered->wall, rendered->cpu, speeds.back(), cpuSpeeds.back());
    }
    std::filesystem::remove(wav);
    if (speeds.empty())
        return;
    std::printf("  %zu songs, %.1f s of sound in %.1f s (cpu %.1f s): %.1fx real time overall, %.1fx per cpu second\n"
                "  per song: min %.1fx, median %.1fx, max %.1fx real time; min %.1fx, median %.1fx, max %.1fx per cpu "
                "second\n",
        speeds.size(), total.sound, total.wall, total.cpu, total.sound / total.wall, total.sound / total.cpu,
        Percentile(speeds, 0), Percentile(speeds, 0.5), Percentile(speeds, 1), Percentile(cpuSpeeds, 0),
        Percentile(cpuSpeeds, 0.5), Percentile(cpuSpeeds, 1));
}
}

int main(int argc, char** argv)
{
    double seconds = argc > 1 ? std::atof(argv[1]) : 25.0;
    double idleSeconds = argc > 2 ? std::atof(argv[2]) : 5.0;
    if (seconds <= 0)
        seconds = 25.0;
    if (idleSeconds <= 0)
        idleSeconds = 5.0;

    // What the machine charges for waking every millisecond (or every 15)
    // with nothing to do, as a reference for the figures below.
    for (DWORD period : { 1u, 15u }) {
        ULONGLONG cpu = GetProcessCpuMicroseconds();
        long long start = MicrosNow();
        while (MicrosNow() - start < 3000000)
            SleepToNextTick(period);
        double wall = static_cast<double>(MicrosNow() - start) / 1e6;
        std::printf("reference: an empty %u ms sleep loop uses %.3f %% of one core\n", period,
            100.0 * static_cast<double>(GetProcessCpuMicroseconds() - cpu) / 1e6 / wall);
    }

    std::vector<std::string> songs;
    std::vector<std::string> corpus;
    std::string largest;
    std::uintmax_t largestSize = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/games/openttd/baseset/openmsx", error)) {
        if (entry.path().extension() != ".mid")
            continue;
        corpus.push_back(entry.path().string());
        if (entry.file_size() > largestSize) {
            largestSize = entry.file_size();
            largest = entry.path().string();
        }
    }
    std::sort(corpus.begin(), corpus.end());
    if (!largest.empty()) {
        songs.push_back(largest);
        // Its tempo changes make it a test of the tempo map.
        std::string tempoChanges = std::filesystem::path(largest).parent_path() / "midnight_snow_run.mid";
        if (std::filesystem::exists(tempoChanges))
            songs.push_back(tempoChanges);
    } else {
        std::printf("openttd-openmsx is not installed: its songs are skipped\n");
    }
    std::string demo = std::string(TABRINO_SOURCE_DIR) + "/res/demo.mid";
    if (std::filesystem::exists(demo)) {
        songs.push_back(demo);
        corpus.push_back(demo);
    } else {
        std::printf("res/demo.mid is missing: skipped\n");
    }
    for (const std::string& song : songs)
        PlaySong(song, seconds, idleSeconds);
    std::string dense = WriteDenseSong(std::min(seconds, 20.0), "bench_playback_dense.mid");
    PlaySong(dense, seconds + 1, idleSeconds);
    if (!songs.empty())
        PlayWithoutPort(songs.front(), seconds);
    PlayWithoutPort(dense, seconds + 1);
    std::filesystem::remove(dense);
    RenderSongs(corpus);
    return 0;
}
