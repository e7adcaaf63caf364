#pragma once

#include "platform/core/CString.h"

#include <functional>

class CPlaylist;

// tabrino-play's run through several songs: each in turn, in the list's
// order of play, with a pause between them; a song that cannot be played is
// told and passed over, and a signal ends the whole run.
class CPlaylistRun {
public:
    // Plays one song; number counts from 1 in the order of play. Returns 0
    // when it played to its end, SKIPPED when it could not be opened (it
    // has said why), anything else to end the run with that status.
    using PlaySong = std::function<int(const CString& path, int number)>;
    static constexpr int SKIPPED = 1;

    CPlaylistRun(CPlaylist& list, DWORD gapMilliseconds, bool terminal)
        : m_list(list)
        , m_gap(gapMilliseconds)
        , m_terminal(terminal)
    {
    }

    // The status of the run: that of a song that ended it, else 1 when any
    // song was passed over, else 0.
    int Run(const PlaySong& play);

private:
    // Waits the pause between two songs; FALSE when a signal came.
    BOOL Pause() const;

    CPlaylist& m_list;
    DWORD m_gap;
    bool m_terminal;
};
