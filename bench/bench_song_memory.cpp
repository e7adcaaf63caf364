// Times the song memory with files of growing size, up to the thousand songs
// it keeps: reading and parsing the file (what opening a song and
// tabrino-play --remembered cost), and the window's whole step at a song
// change (the merge of what was set on the song before into the file as it
// is, the atomic write with its flushes, and the read for the new song).
// The read should grow in proportion to the file's size.

#include "app/CRememberedSongs.h"
#include "player/CPlayerHost.h"
#include "player/CPractice.h"
#include "player/CSongMemory.h"
#include "player/CSongSettings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A song set up as a musician practising would: every setting changed, a
// dozen bookmarks and a mixer of ten channels.
CSongMemory::Record FullRecord(std::uint64_t n)
{
    std::string bookmarks;
    for (int b = 0; b < 12; ++b)
        bookmarks += (b ? ";" : "") + std::to_string(1536 * (b + 1)) + " Bar " + std::to_string(4 * b + 5);
    std::string mixer;
    for (int c = 0; c < 10; ++c)
        mixer += (c ? " " : "") + std::string("ch") + std::to_string(c + 1) + "=" + std::to_string(60 + c) + ",64";
    return { { "Tempo", std::to_string(60 + n % 200) }, { "Transpose", "-2" }, { "Mutes", "2,10" }, { "Solo", "" },
        { "Loop", "1536 6144 1" }, { "CountIn", "bars=1 pass=1" }, { "Trainer", "from=70 to=100 step=5 passes=2" },
        { "Bookmarks", bookmarks }, { "Mixer", mixer } };
}

}

int main()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tabrino-bench-XXXXXX").string();
    const std::string dir = ::mkdtemp(pattern.data());
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    const std::string path = CSongMemory::FilePath();
    std::filesystem::create_directories(dir + "/TabrinoCE");

    CPlayerHost host;
    CPractice practice(host.m_playerState, host.m_metronome);
    CSongSettings settings(host, practice);
    for (std::uint64_t songs : { 10, 100, 250, 500, 1000 }) {
        CSongMemory memory;
        for (std::uint64_t n = 1; n <= songs; ++n)
            memory.Put(n, FullRecord(n));
        memory.Save(path);
        const auto size = std::filesystem::file_size(path);
        double read = 1e9, change = 1e9;
        for (int run = 0; run < 5; ++run) {
            auto start = Clock::now();
            CSongMemory loaded;
            loaded.Load(path);
            const bool found = loaded.Find(songs / 2) != nullptr;
            read = std::min(read, Since(start));
            if (!found)
                std::printf("the record was not found\n");
            // A window that changed the tempo of the song before opens the
            // oldest one.
            CRememberedSongs window;
            window.SongOpened(1000000 + run, settings);
            host.Transport().SetTempo(host.m_playerState.m_bpm == 100 ? 101 : 100);
            window.NoteChanges(settings);
            start = Clock::now();
            window.SongOpened(1, settings);
            change = std::min(change, Since(start));
        }
        std::printf("%5llu songs, %9llu bytes: read %7.2f ms (%5.2f us a song)   song change (merge, write, read) %7.2f ms\n",
            static_cast<unsigned long long>(songs), static_cast<unsigned long long>(size), read, read * 1000.0 / songs,
            change);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
