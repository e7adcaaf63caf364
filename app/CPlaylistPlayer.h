#pragma once

#include "app/CPlaylistReader.h"
#include "platform/core/CString.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/Menu.h"
#include "player/CM3uList.h"
#include "player/CPlaylist.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CTabrinoDlg;

// The main window's playlist: which song comes next and when. Every song is
// opened through the window's own open (BeginOpen), so what the window does
// with a song it opens applies to each; the list learns that the song is in
// place (OnSongInPlace) or could not be read (OnSongFailed) from the window,
// never from the open's return. At a song's end the next one starts after
// the pause (m_gap), unless "stop after this song" is on. The list is kept
// beside the settings file (playlist.m3u8), with the current song.
// User-interface thread only.
class CPlaylistPlayer {
public:
    static constexpr std::uintptr_t GAP_TIMER = 0x504C;
    static constexpr DWORD DEFAULT_GAP = 2000;
    static constexpr DWORD MAX_GAP = 60000;

    explicit CPlaylistPlayer(CTabrinoDlg& dialog);

    // What a drop (or a hand-over) names, in its order, and frees it: its
    // MIDI files by name, folders and playlists; a drop of none of these
    // keeps all its files, which then say themselves what they are not.
    static std::vector<CString> DroppedSongs(HDROP drop);

    // The songs paths name (folders by their MIDI files, .m3u/.m3u8 lists by
    // their songs) as the new list; the first is opened.
    void OpenSongs(const std::vector<CString>& paths);
    // Adds songs at the end (a drop into the playlist window).
    void AddSongs(const std::vector<CString>& paths);
    // Opens the song and plays it (a double-click in the list).
    void PlayEntry(int index);
    void Next();
    void Previous();
    void Remove(int index);
    void Move(int from, int to);

    // The window's hooks: a song is in place; a song could not be read
    // (TRUE when the list takes care of it and no message is wanted); the
    // readouts were refreshed (a song's end shows there); a timer fired;
    // the user stopped playback.
    void OnSongInPlace(const CString& path, const CString& title, LONGLONG micros);
    BOOL OnSongFailed(const CString& path);
    void OnDisplay();
    void OnTimer();
    void OnUserStop();
    // The reader's results: each fills in every entry of its path that no
    // open has filled in meanwhile (a path the list no longer holds is
    // passed over).
    void OnSongsRead();
    // The window closes: the reading ends.
    void StopReading();

    // The playlist part of the context menu, and its commands (FALSE for
    // any other command).
    void AppendMenuTo(HMENU menu) const;
    BOOL Run(WORD command);

    BOOL CanGoNext() const;
    BOOL CanGoPrevious() const;
    // MPRIS: 0 None, 1 Track, 2 Playlist.
    void SetRepeat(CPlaylist::Repeat repeat);
    void SetShuffle(BOOL shuffle);

    // The list kept beside the settings: read at start-up (a damaged file is
    // kept aside as .damaged and told), written at close. Load opens the
    // current song when openCurrent.
    void Load(BOOL openCurrent);
    BOOL Save() const;
    static std::string ListFilePath();
    // Reads and writes a playlist file the user chose; FALSE after a
    // message when it cannot.
    BOOL OpenListFile(const CString& path);
    BOOL SaveListFile(const CString& path) const;

    CPlaylist m_list;
    // The pause between two songs, in milliseconds.
    DWORD m_gap { DEFAULT_GAP };
    BOOL m_stopAfterThis { FALSE };
    // Folders are read with their subfolders.
    BOOL m_subfolders { FALSE };
    // Changes with every change the playlist window shows.
    unsigned m_revision { 0 };
    // Reads the titles and lengths of the songs not opened yet.
    CPlaylistReader m_reader;

private:
    std::vector<CM3uList::Song> ListedSongs() const;
    void AssignListed(const std::vector<CM3uList::Song>& songs);
    std::vector<CString> Expand(const std::vector<CString>& paths) const;
    // Has the songs whose length is unknown read in the background.
    void ReadUnknown();
    // Opens the song at index: chosen by the user (it joins the shuffle's
    // round; a failure is told), or as the next one of the order (a
    // failure is marked and passed over in direction).
    void Open(int index, BOOL play, BOOL chosen, int direction);
    void CancelGap();
    BOOL Playing() const;

    CTabrinoDlg& m_dialog;
    int m_opening { -1 };
    CString m_openingPath;
    BOOL m_playWhenInPlace { FALSE };
    BOOL m_chosen { FALSE };
    int m_direction { 1 };
    // The song was seen playing since it was put in place or started.
    BOOL m_sawPlaying { FALSE };
    // The song that starts when the pause ends; -1 for none.
    int m_afterGap { -1 };
    // The list a new one replaced, until its first song is in place.
    std::unique_ptr<CPlaylist> m_replaced;
    // The settings as Load read them: gap, subfolders, repeat, shuffle.
    int m_loaded[4] { static_cast<int>(DEFAULT_GAP), 0, 0, 0 };
};
