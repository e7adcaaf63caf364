// What reading a playlist's titles and lengths in the background costs: 40
// songs, as a folder opened in the window gives them, read by the playlist
// window's reader from Begin until it has finished; once for songs of a
// usual size and once for dense ones. Prints figures only.

#include "app/CPlaylistReader.h"
#include "bench/DenseSong.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace {

void Measure(const char* what, double seconds)
{
    constexpr int kSongs = 40;
    std::vector<CString> paths;
    std::uintmax_t bytes = 0;
    for (int i = 0; i < kSongs; ++i) {
        const std::string path = WriteDenseSong(seconds, "bench-reader-" + std::to_string(i) + ".mid");
        bytes += std::filesystem::file_size(path);
        paths.push_back(CString::FromUtf8(path));
    }
    CPlaylistReader reader;
    const auto start = std::chrono::steady_clock::now();
    reader.Begin(nullptr, paths);
    while (reader.Reading())
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const std::vector<CPlaylistReader::Result> results = reader.Take();
    int read = 0;
    for (const CPlaylistReader::Result& result : results)
        read += result.failed ? 0 : 1;
    std::printf("%-28s %d songs, %.1f MB: %d read in %.0f ms (%.1f ms a song)\n", what, kSongs,
        static_cast<double>(bytes) / 1e6, read, ms, ms / kSongs);
    for (const CString& path : paths)
        std::filesystem::remove(path.ToUtf8());
}

}

int main()
{
    // 25600 messages a song, some 100 KB: a usual song file.
    Measure("usual songs (2 s dense)", 2.0);
    // 256000 messages a song, some 1 MB.
    Measure("dense songs (20 s dense)", 20.0);
    return 0;
}
