// Load time and heap use of the Standard MIDI File loader, for the largest
// file of the openmsx set and for a generated file of 1,000,000 events, with
// python3-mido reading the same files for comparison. Prints figures only.

#include "app/CTabrinoDlg.h"
#include "platform/core/CMessageBoxRecorder.h"
#include "song/CMidiEvent.h"
#include "song/CMidiFileReader.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CSongFacts.h"
#include "song/CTrack.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

namespace {

// Heap use as the program asks for it, and as the allocator hands it out.
std::atomic<long long> g_allocations { 0 };
std::atomic<long long> g_requestedBytes { 0 };
std::atomic<long long> g_usableBytes { 0 };

}

void* operator new(size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    ++g_allocations;
    g_requestedBytes += static_cast<long long>(size);
    g_usableBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

using Clock = std::chrono::steady_clock;

std::vector<BYTE> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Put32(std::vector<BYTE>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<BYTE>(v >> shift));
}

// Eight tracks of notes with running status, controllers, program changes
// and a text every 1000 events: 1,000,000 events in all.
std::vector<BYTE> GeneratedSong()
{
    const int tracks = 8;
    const int perTrack = 1000000 / tracks;
    std::vector<BYTE> out = { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, tracks, 0x01, 0xE0 };
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
        out.insert(out.end(), { 'M', 'T', 'r', 'k' });
        Put32(out, static_cast<std::uint32_t>(body.size()));
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

struct Figures {
    long long events { 0 };
    double bestSeconds { 0 };
    double requestedPerEvent { 0 };
    double usablePerEvent { 0 };
    double allocationsPerEvent { 0 };
};

long long CountEvents(const CTrack* tracks)
{
    long long n = 0;
    CRing::ForEach(tracks, [&n](const CTrack* t) { CRing::ForEach(t->m_firstEvent, [&n](const CMidiEvent*) { ++n; }); });
    return n;
}

// Parses the bytes held in memory, as the loader does after its one read.
Figures TimeReader(const std::vector<BYTE>& bytes, int repeats)
{
    Figures f;
    f.bestSeconds = 1e9;
    for (int r = 0; r < repeats; ++r) {
        CSongFacts facts;
        CSong* song = nullptr;
        CTrack* tracks = nullptr;
        long long calls = g_allocations, requested = g_requestedBytes, usable = g_usableBytes;
        auto start = Clock::now();
        CMidiFileReader reader(bytes.data(), bytes.size(), facts);
        reader.Read(song, tracks);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        f.bestSeconds = std::min(f.bestSeconds, seconds);
        f.events = CountEvents(tracks);
        if (f.events) {
            f.allocationsPerEvent = double(g_allocations - calls) / double(f.events);
            f.requestedPerEvent = double(g_requestedBytes - requested) / double(f.events);
            f.usablePerEvent = double(g_usableBytes - usable) / double(f.events);
        }
        CRing::Clear(tracks);
        CRing::Clear(song);
    }
    return f;
}

// The whole ReadFile: open, one read, parse, and freeing the previous song.
double TimeReadFile(const std::string& path, int repeats)
{
    CMessageBoxRecorder quiet;
    CTabrinoDlg dialog;
    double best = 1e9;
    for (int r = 0; r < repeats; ++r) {
        auto start = Clock::now();
        dialog.ReadFile(CString::FromUtf8(path));
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
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

void Report(const std::string& name, const Figures& f, double readFileSeconds, std::pair<double, long long> mido)
{
    std::printf("%s\n", name.c_str());
    std::printf("  events                 %lld\n", f.events);
    std::printf("  parse (best)           %.3f ms  = %.1f M events/s\n", f.bestSeconds * 1e3,
        double(f.events) / f.bestSeconds / 1e6);
    std::printf("  ReadFile (best)        %.3f ms  = %.1f M events/s\n", readFileSeconds * 1e3,
        double(f.events) / readFileSeconds / 1e6);
    std::printf("  heap per event         %.1f bytes requested, %.1f bytes handed out by malloc"
                " (+8 bytes chunk header each), %.3f allocations\n",
        f.requestedPerEvent, f.usablePerEvent, f.allocationsPerEvent);
    if (mido.first > 0)
        std::printf("  python3-mido (best)    %.3f ms  = %.2f M messages/s  (%lld messages; %.0fx slower)\n",
            mido.first * 1e3, double(mido.second) / mido.first / 1e6, mido.second, mido.first / f.bestSeconds);
    else
        std::printf("  python3-mido           not available\n");
}

}

int main()
{
    std::printf("sizeof(CMidiEvent) = %zu bytes, sizeof(CTrack) = %zu bytes\n\n", sizeof(CMidiEvent), sizeof(CTrack));

    std::string largest;
    std::uintmax_t largestSize = 0;
    const char* corpus = "/usr/share/games/openttd/baseset/openmsx";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(corpus, error)) {
        if (entry.path().extension() == ".mid" && entry.file_size() > largestSize) {
            largestSize = entry.file_size();
            largest = entry.path().string();
        }
    }

    const std::string generated = (std::filesystem::temp_directory_path() / "tabrino-bench-1M.mid").string();
    {
        std::vector<BYTE> bytes = GeneratedSong();
        std::ofstream(generated, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    }

    std::vector<std::string> files;
    if (!largest.empty())
        files.push_back(largest);
    files.push_back(generated);
    auto mido = TimeMido(files, 3);
    for (size_t i = 0; i < files.size(); ++i) {
        std::vector<BYTE> bytes = ReadBytes(files[i]);
        int repeats = bytes.size() > 1000000 ? 5 : 50;
        Figures f = TimeReader(bytes, repeats);
        Report(files[i] + " (" + std::to_string(bytes.size()) + " bytes)", f, TimeReadFile(files[i], repeats), mido[i]);
    }
    std::filesystem::remove(generated, error);
    return 0;
}
