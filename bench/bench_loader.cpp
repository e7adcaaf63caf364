// What loading a Standard MIDI File costs. For the largest file of the
// openmsx set and a generated file of 1,000,000 events: the processor time
// of a walk over the file's events that stores nothing (the floor the load
// is measured against), of the load, the heap it asks for per event, and
// python3-mido reading the same files for comparison; in this process, and
// as whole processes: the walk (this program with --walk FILE) against
// tabrino-dump. For generated files near the 64 MiB limit, each made of the
// smallest events of one kind: the most memory the tabrino-dump and
// tabrino-play processes held, against the file's size. Prints figures only.

#include "platform/core/ChildProcess.h"
#include "platform/core/Console.h"
#include "song/CMidiEvent.h"
#include "song/CRing.h"
#include "song/CSongFile.h"
#include "song/CTrack.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Heap use as the program asks for it.
std::atomic<long long> g_allocations { 0 };
std::atomic<long long> g_requestedBytes { 0 };

}

void* operator new(size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    ++g_allocations;
    g_requestedBytes += static_cast<long long>(size);
    return p;
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

// The whole file in one read, as the loader reads it.
std::vector<BYTE> ReadBytes(const std::string& path)
{
    std::error_code error;
    std::vector<BYTE> bytes(static_cast<size_t>(fs::file_size(path, error)));
    std::ifstream(path, std::ios::binary)
        .read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Put32(std::vector<BYTE>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<BYTE>(v >> shift));
}

std::vector<BYTE> Header(int tracks)
{
    return { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, static_cast<BYTE>(tracks), 0x01, 0xE0 };
}

void PutTrack(std::vector<BYTE>& out, const std::vector<BYTE>& body)
{
    out.insert(out.end(), { 'M', 'T', 'r', 'k' });
    Put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

// Eight tracks of notes with running status, controllers, program changes
// and a text every 1000 events: 1,000,000 events in all.
std::vector<BYTE> GeneratedSong()
{
    const int tracks = 8;
    const int perTrack = 1000000 / tracks;
    std::vector<BYTE> out = Header(tracks);
    for (int t = 0; t < tracks; ++t) {
        std::vector<BYTE> body;
        unsigned seed = 12345u + static_cast<unsigned>(t);
        for (int i = 0; i < perTrack - 1; ++i) {
            seed = seed * 1103515245u + 12345u;
            BYTE key = static_cast<BYTE>(36 + (seed >> 16) % 48);
            if (i % 1000 == 999) {
                const char text[] = "generated text event";
                body.insert(body.end(), { 0x00, 0xFF, 0x01, sizeof text - 1 });
                body.insert(body.end(), text, text + sizeof text - 1);
            } else if (i % 100 == 0) {
                body.insert(body.end(), { 0x00, static_cast<BYTE>(0xC0 | t), static_cast<BYTE>(i % 128) });
            } else if (i % 50 == 0) {
                body.insert(body.end(), { 0x00, static_cast<BYTE>(0xB0 | t), 7, 100 });
            } else {
                // Running status for the notes; offs as on with velocity 0.
                BYTE delta = static_cast<BYTE>(i % 2 ? 0x60 : 0x00);
                if (i % 50 == 1)
                    body.insert(body.end(), { delta, static_cast<BYTE>(0x90 | t), key, 90 });
                else
                    body.insert(body.end(), { delta, key, static_cast<BYTE>(i % 2 ? 0 : 90) });
            }
        }
        body.insert(body.end(), { 0x00, 0xFF, 0x2F, 0x00 });
        PutTrack(out, body);
    }
    return out;
}

// One track of about 60 MiB: the first event, then the same short event
// with running status over and over, then the end of the track.
std::vector<BYTE> RepeatedEvent(const std::vector<BYTE>& first, const std::vector<BYTE>& repeated)
{
    const size_t size = 60u << 20;
    std::vector<BYTE> body(first);
    body.reserve(size + 8);
    while (body.size() + repeated.size() + 4 <= size)
        body.insert(body.end(), repeated.begin(), repeated.end());
    body.insert(body.end(), { 0x00, 0xFF, 0x2F, 0x00 });
    std::vector<BYTE> out = Header(1);
    PutTrack(out, body);
    return out;
}

// Every event as the loader reads it (delta, status or running status, the
// bytes the status calls for), storing nothing: the number of events.
long long WalkEvents(const std::vector<BYTE>& file)
{
    const BYTE* p = file.data();
    const size_t size = file.size();
    long long events = 0;
    size_t pos = 14;
    const int tracks = size >= 14 ? (p[10] << 8) | p[11] : 0;
    auto varLen = [&](size_t& at) {
        DWORD value = 0;
        BYTE b = 0;
        do {
            b = at < size ? p[at] : 0;
            ++at;
            value = (value << 7) | (b & 0x7F);
        } while (b & 0x80);
        return value;
    };
    for (int t = 0; t < tracks && pos + 8 <= size; ++t) {
        const size_t end = pos + 8 + ((size_t(p[pos + 4]) << 24) | (p[pos + 5] << 16) | (p[pos + 6] << 8) | p[pos + 7]);
        pos += 8;
        BYTE running = 0;
        while (pos < end && pos < size) {
            varLen(pos);
            BYTE status = p[pos];
            if (status >= 0x80) {
                running = status;
                ++pos;
            } else {
                status = running;
            }
            switch (status & 0xF0) {
            case 0xC0:
            case 0xD0:
                pos += 1;
                break;
            case 0xF0:
                if (status == 0xFF)
                    ++pos;
                if (status == 0xF0 || status == 0xF7 || status == 0xFF)
                    pos += varLen(pos);
                break;
            default:
                pos += 2;
                break;
            }
            ++events;
        }
        pos = end;
    }
    return events;
}

// The least processor time of a few runs of fn, in milliseconds.
double BestCpuMs(int runs, const std::function<void()>& fn)
{
    ULONGLONG best = ~0ull;
    for (int r = 0; r < runs; ++r) {
        const ULONGLONG start = GetProcessCpuMicroseconds();
        fn();
        best = std::min(best, GetProcessCpuMicroseconds() - start);
    }
    return double(best) / 1000.0;
}

long long CountEvents(const CTrack* tracks)
{
    long long n = 0;
    CRing::ForEach(tracks, [&n](const CTrack* t) { CRing::ForEach(t->m_firstEvent, [&n](const CMidiEvent*) { ++n; }); });
    return n;
}

std::string g_dump;
std::string g_self;

// The whole tabrino-dump process on the file, its output thrown away: the
// least processor time of a few runs, and the most memory of the last.
ChildUsage Run(const std::vector<std::string>& argv, int runs)
{
    ChildUsage best;
    for (int r = 0; r < runs; ++r) {
        ChildUsage usage = RunChildProcess(argv, "/dev/null");
        if (r == 0 || usage.cpuMicroseconds < best.cpuMicroseconds)
            best.cpuMicroseconds = usage.cpuMicroseconds;
        best.status = usage.status;
        best.peakBytes = usage.peakBytes;
        best.pageFaults = usage.pageFaults;
    }
    return best;
}

// Best read time and message count of python3-mido, or a negative time
// when mido cannot run.
std::vector<std::pair<double, long long>> TimeMido(const std::vector<std::string>& paths, int repeats)
{
    std::string command = "/usr/bin/python3 " TABRINO_SOURCE_DIR "/tools/bench-mido.py " + std::to_string(repeats);
    for (const std::string& p : paths)
        command += " '" + p + "'";
    std::vector<std::pair<double, long long>> results;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        double seconds;
        long long count;
        while (std::fscanf(pipe, "%lf %lld", &seconds, &count) == 2)
            results.emplace_back(seconds, count);
        pclose(pipe);
    }
    results.resize(paths.size(), { -1.0, 0 });
    return results;
}

void ReportLoad(const std::string& path, std::pair<double, long long> mido)
{
    const std::vector<BYTE> bytes = ReadBytes(path);
    const int runs = bytes.size() > 1000000 ? 5 : 50;
    long long walked = 0;
    const double walk = BestCpuMs(runs, [&] { walked = WalkEvents(bytes); });
    long long events = 0, allocations = 0, requested = 0;
    const double load = BestCpuMs(runs, [&] {
        const long long calls = g_allocations, asked = g_requestedBytes;
        CSongFile file;
        file.Load(CString::FromUtf8(path));
        allocations = g_allocations - calls;
        requested = g_requestedBytes - asked;
        events = CountEvents(file.m_pTracks);
    });
    const ChildUsage walkUsage = Run({ g_self, "--walk", path }, 5);
    const double walkProcess = double(walkUsage.cpuMicroseconds) / 1000.0;
    const ChildUsage dump = Run({ g_dump, path }, 5);
    const double dumpProcess = double(dump.cpuMicroseconds) / 1000.0;
    std::printf("%s (%zu bytes, %lld events; the walk counts %lld)\n", path.c_str(), bytes.size(), events, walked);
    std::printf("  walk storing nothing    %8.3f ms CPU\n", walk);
    std::printf("  load (CSongFile::Load)  %8.3f ms CPU  = %.1f x the walk (the first touch of the memory it\n"
                "                          fills, freed and taken again each time, is most of it)\n",
        load, load / walk);
    std::printf("  processes: the walk     %8.3f ms CPU, %llu page faults (reads the file, walks it)\n", walkProcess,
        static_cast<unsigned long long>(walkUsage.pageFaults));
    std::printf("             tabrino-dump %8.3f ms CPU, %llu page faults = %.1f x the walk (exit %d)\n", dumpProcess,
        static_cast<unsigned long long>(dump.pageFaults), dumpProcess / walkProcess, dump.status);
    if (events)
        std::printf("  heap asked for          %.1f bytes and %.4f allocations per event (the file's bytes included)\n",
            double(requested) / double(events), double(allocations) / double(events));
    if (mido.first > 0)
        std::printf("  python3-mido (best)     %8.3f ms wall (%lld messages; %.0f x the load)\n", mido.first * 1e3,
            mido.second, mido.first * 1e3 / load);
    else
        std::printf("  python3-mido            not available\n");
}

}

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--walk")
        return WalkEvents(ReadBytes(argv[2])) > 0 ? 0 : 1;
    g_self = fs::absolute(fs::path(argv[0])).string();
    g_dump = (fs::absolute(fs::path(argv[0])).parent_path().parent_path() / "tools" / "tabrino-dump").string();
    std::printf("sizeof(CMidiEvent) = %zu bytes, sizeof(CTrack) = %zu bytes\n", sizeof(CMidiEvent), sizeof(CTrack));
    const ChildUsage help = RunChildProcess({ g_dump, "--help" }, "/dev/null");
    std::printf("tabrino-dump --help: %.3f ms CPU (the start of the process alone)\n\n",
        double(help.cpuMicroseconds) / 1000.0);

    std::string largest;
    std::uintmax_t largestSize = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/usr/share/games/openttd/baseset/openmsx", error)) {
        if (entry.path().extension() == ".mid" && entry.file_size() > largestSize) {
            largestSize = entry.file_size();
            largest = entry.path().string();
        }
    }
    const fs::path folder = fs::temp_directory_path() / "tabrino-bench-loader";
    fs::create_directories(folder);
    const std::string million = (folder / "1M-events.mid").string();
    WriteBytes(million, GeneratedSong());

    std::vector<std::string> files;
    if (!largest.empty())
        files.push_back(largest);
    files.push_back(million);
    const auto mido = TimeMido(files, 3);
    for (size_t i = 0; i < files.size(); ++i)
        ReportLoad(files[i], mido[i]);

    // The smallest events of four kinds, each with running status and a
    // delta of one tick: note on/off (3 bytes), channel pressure (2 bytes), a
    // system-exclusive message of one byte (3 bytes, a payload each), tempo
    // changes back and forth (6 bytes, a tempo map segment each). The dump
    // holds the file and its events; tabrino-play also builds the tempo and
    // meter maps, then plays the song's last tick.
    std::printf("\nfiles of about 60 MiB (the limit is 64 MiB): the most memory of the process\n");
    const std::string play = (fs::path(g_dump).parent_path() / "tabrino-play").string();
    const struct {
        const char* name;
        std::vector<BYTE> first;
        std::vector<BYTE> repeated;
    } kinds[] = {
        { "notes", { 0x00, 0x90, 60, 100 }, { 0x01, 60, 0 } },
        { "pressure", { 0x00, 0xD0, 64 }, { 0x01, 64 } },
        { "sysex", { 0x00, 0xF0, 0x01, 0x7F }, { 0x01, 0x01, 0x7F } },
        { "tempo", { 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20 },
            { 0x01, 0x51, 0x03, 0x07, 0xA1, 0x21, 0x01, 0x51, 0x03, 0x07, 0xA1, 0x20 } },
    };
    for (const auto& kind : kinds) {
        const std::string path = (folder / (std::string(kind.name) + ".mid")).string();
        const std::vector<BYTE> bytes = RepeatedEvent(kind.first, kind.repeated);
        WriteBytes(path, bytes);
        const long long events = WalkEvents(bytes);
        // The first event lies at tick 0, each repeated one a tick after the
        // one before, the end of the track at the last.
        const long long lastTick = events - 2;
        const ChildUsage dump = Run({ g_dump, path }, 1);
        const ChildUsage played = Run({ play, "--port", "none", "--from", std::to_string(lastTick - 1), path }, 1);
        std::printf("  %-9s %5.1f MiB, %9lld events: tabrino-dump %7.1f MiB = %5.1f x the file, %6.0f ms CPU;"
                    " tabrino-play %7.1f MiB = %5.1f x (exit %d, %d)\n",
            kind.name, double(bytes.size()) / 1048576.0, events, double(dump.peakBytes) / 1048576.0,
            double(dump.peakBytes) / double(bytes.size()), double(dump.cpuMicroseconds) / 1000.0,
            double(played.peakBytes) / 1048576.0, double(played.peakBytes) / double(bytes.size()), dump.status,
            played.status);
        fs::remove(path, error);
    }
    fs::remove_all(folder, error);
    return 0;
}
