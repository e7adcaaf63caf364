#pragma once

#include "platform/core/CString.h"

#include <string>
#include <vector>

// Playlists in the M3U form media players share (.m3u8: UTF-8), with the
// extended lines: "#EXTM3U" first, "#EXTINF:seconds,title" before a song.
// Songs beside the list or below its folder are written relative to it, as
// media players write them, so a folder with its list can move; others by
// their full path. Parse and Format handle text only; ExpandPaths reads the
// lists it is handed.
class CM3uList {
public:
    struct Song {
        CString path;
        CString title;
        // -1 when unknown.
        long long seconds { -1 };
    };

    // A list longer than this is cut there.
    static constexpr size_t kMaxSongs = 10000;

    // The songs of a list read from folder (relative paths are taken from
    // there, file URIs as the paths they name). current is the index the
    // "#TABRINO-CURRENT:n" line names (-1 without one or out of range).
    // FALSE for text that is no playlist: a NUL byte, or with requireHeader
    // a first line other than "#EXTM3U".
    static BOOL Parse(const std::string& text, const CString& folder, BOOL requireHeader, std::vector<Song>& songs,
        int& current);
    // The text of a list kept in folder; current (unless -1) is written in
    // a line of this player's own that other players pass over.
    static std::string Format(const std::vector<Song>& songs, const CString& folder, int current);

    // Whether the name ends in .m3u or .m3u8 (either case).
    static BOOL IsListName(const CString& path);
    // The songs paths name, in their order, as the window and tabrino-play
    // take them: a folder's MIDI files (with recursive its subfolders'
    // too), a list's songs, any other path as it is; so is a list that
    // cannot be read, which then says why when it is played. At most
    // kMaxSongs.
    static std::vector<CString> ExpandPaths(const std::vector<CString>& paths, BOOL recursive);
};
