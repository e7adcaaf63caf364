#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Reads the playlist's songs on a thread of its own, so that every line of
// the list shows its title and length before the song is played: each file
// is read as the window reads a song it opens, one after another in the
// list's order. Results carry the song's path, never its place in the list,
// since the list may change while they are read. Each batch of finished
// reads is announced to the window by WM_COMMAND READ; Take hands it over.
// Begin, Take and Stop belong to the window's thread.
class CPlaylistReader {
public:
    static constexpr WORD READ = 1009;

    struct Result {
        CString path;
        // As the window shows an open song: its name, else the file's.
        CString title;
        // The length at the song's own tempo; -1 when failed.
        LONGLONG micros { -1 };
        // Missing, damaged, or too large to read.
        bool failed { false };
    };

    CPlaylistReader() = default;
    ~CPlaylistReader();
    CPlaylistReader(const CPlaylistReader&) = delete;
    CPlaylistReader& operator=(const CPlaylistReader&) = delete;

    // Reads paths in their order, in place of any that still wait. FALSE
    // when no thread could be started: nothing is read then.
    BOOL Begin(HWND window, const std::vector<CString>& paths);
    // The reads finished since the last Take, in the order read.
    std::vector<Result> Take();
    // TRUE while a song is read or waits to be.
    BOOL Reading() const;
    // Drops the songs that wait and waits for the one being read (the
    // window closes).
    void Stop();

    // Reads one song; on any thread.
    static Result Read(const CString& path);

private:
    void Run();

    mutable std::mutex m_lock;
    // Guarded by m_lock: the songs still to read, the window told of
    // results, the results not yet taken, whether the thread runs.
    std::deque<CString> m_waiting;
    HWND m_window { nullptr };
    std::vector<Result> m_results;
    bool m_running { false };
    // The window's thread only.
    std::thread m_thread;
};
