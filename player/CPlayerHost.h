#pragma once

#include "midiout/CSerialMidiOut.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "player/CCountIn.h"
#include "player/CMetronome.h"
#include "player/CPlayerEngine.h"
#include "player/CPlayerState.h"
#include "player/CSpeedTrainer.h"
#include "player/CTransport.h"

#include <atomic>
#include <cstdint>

class CMainThread;
class CSong;
class CSongFile;
class CTrack;

// What the player thread works on, and its owner: the song, the output
// stage, the player state, the metronome, the refresh flags with the
// thread's record of its posts, and the thread itself. The main dialog is
// one (and adds the face); tabrino-play holds one without any window.
class CPlayerHost {
public:
    CPlayerHost();
    virtual ~CPlayerHost();
    CPlayerHost(const CPlayerHost&) = delete;
    CPlayerHost& operator=(const CPlayerHost&) = delete;

    // The window the player thread posts its refresh commands to; null
    // while there is none.
    virtual HWND PlayerWindow() const { return nullptr; }

    // Creates the player thread suspended and lets it run; FALSE, with
    // m_pThread null, when it cannot be created.
    BOOL StartPlayerThread();
    // One period of the player thread (called by that thread only).
    void PlayerPeriod();
    // Ends the player thread (stopping what plays) and waits for it, then
    // frees the song; the owner's destructor calls it before it takes down
    // what the thread's posts reach. Safe to call again.
    void EndPlayer();

    // Reads a Standard MIDI File and, when it was read whole, puts it in
    // place of m_pSongs and m_pTracks with the player state reset to it (a
    // song that plays stops first, and this waits for that). Otherwise shows
    // why (the reason, then the file) and changes nothing.
    BOOL ReadFile(CString path);
    // Puts a song read whole in place of the one held, with the player state
    // reset to it; the file then holds nothing. Only while stopped: FALSE,
    // and nothing changed, while a song plays or a stop is pending.
    BOOL TakeSong(CSongFile& file);

    // The transport commands on this player's state and window. Without a
    // player thread nobody answers a request, so nothing waits.
    CTransport Transport();

    CMainThread* m_pThread { nullptr };
    CSong* m_pSongs { nullptr };
    CTrack* m_pTracks { nullptr };
    // The hash of the song's file (ContentHash): what its memory is kept under.
    std::uint64_t m_songHash { 0 };
    CSerialMidiOut m_output;
    CPlayerState m_playerState;
    CMetronome m_metronome;
    CCountIn m_countIn;
    CSpeedTrainer m_trainer;
    // Whether the song's clock, when it next starts, waits for a count-in
    // (player thread): after a start or a turn of the loop.
    CCountIn::Due m_countInDue { CCountIn::NONE };
    std::atomic<BOOL> m_bRefresh { FALSE };
    std::atomic<DWORD> m_dwLastRefresh { 0 };
    // Whether the readouts wait for a display refresh that was not due yet,
    // and whether the meters still move; while stopped, the player thread
    // posts refreshes only for these.
    std::atomic<BOOL> m_bDisplayPending { TRUE };
    std::atomic<BOOL> m_bMetersMoving { FALSE };
    // While set, the window's own timer runs the refreshes and the player
    // thread posts none.
    std::atomic<BOOL> m_bRefreshTimer { FALSE };
    // The pause after a reset at a cut (player thread): while it lasts, the
    // song stands at m_settleTick until m_settleUntil (counter
    // microseconds).
    BOOL m_settling { FALSE };
    LONGLONG m_settleUntil { 0 };
    LONGLONG m_settleTick { 0 };
    // The player thread's own record of its refresh posts.
    CPlayerEngine::PostRecord m_displayPost;
    CPlayerEngine::PostRecord m_metersPost;
};
