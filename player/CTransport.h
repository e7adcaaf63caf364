#pragma once

#include "platform/core/WinTypes.h"
#include "player/CPlayerState.h"

class CTrack;

// The transport commands of the main dialog, as operations on the player
// state: they hand work to the player thread through the play-state code
// and never play anything themselves. hwnd is the dialog's window, which
// gets a display refresh (command 1005) after a change; it may be null.
class CTransport {
public:
    // playerRuns tells whether a player thread answers requests; without
    // one, waiting for an answer would never end.
    CTransport(CPlayerState& state, HWND hwnd, BOOL playerRuns);

    // Starts playback from the current position (from 0 once the position
    // has reached the song's end). FALSE when something else is pending or
    // there is no song to play.
    BOOL Play();
    // Stops playback: the position stays where it is now, and the player
    // thread silences the output. Returns at once; the play state reads
    // STATE_STOPPED once the thread has answered.
    void Stop();
    // Stop, then waits for the answer at most milliseconds (INFINITE for
    // no limit); FALSE when the thread had not answered by then.
    BOOL StopAndWait(DWORD milliseconds);
    // Moves the position; a running song (or one about to run) starts again
    // from there. Returns at once.
    void SetPosition(LONGLONG tick);
    // Tempo in beats per minute, held within 30..300. FALSE when it stays.
    BOOL SetTempo(std::int32_t bpm);
    BOOL StepTempo(std::int32_t step);
    // Transposition in semitones, held within -12..12. FALSE when it stays.
    BOOL SetTranspose(std::int32_t semitones);
    BOOL StepTranspose(std::int32_t step);
    // Takes the song's tempo, meter and length from a newly loaded track ring.
    void AdoptSong(const CTrack* tracks);

    static constexpr std::int32_t MIN_BPM = CPlayerState::MIN_BPM;
    static constexpr std::int32_t MAX_BPM = CPlayerState::MAX_BPM;
    static constexpr std::int32_t MAX_TRANSPOSE = 12;

private:
    void PostDisplayRefresh();
    // Writes a request for the player thread and wakes it.
    void Request(std::int32_t code);

    CPlayerState& m_state;
    HWND m_hwnd;
    BOOL m_playerRuns;
};
