#pragma once

#include "platform/core/WinTypes.h"
#include "player/CCountInSettings.h"

#include <atomic>
#include <cstdint>

class CMetronome;
class CPlayerState;
class CSerialMidiOut;

// Bars of metronome clicks before the music: planned by the player thread
// when a start (play or resume) or a pass of the loop is to be counted in,
// on the meter and tempo at the position the song starts from and at the
// user's tempo. The clicks come one click-beat apart and the song starts one
// click-beat after the last; the position stands at the start meanwhile.
class CCountIn {
public:
    // What a start of the song's clock is: a start or resume of playback,
    // or a new pass of the loop.
    enum Due { NONE, START, PASS };

    // Any thread.
    void SetSettings(const CCountInSettings& settings);
    CCountInSettings Settings() const;
    // Whether the player thread counts in now (for the readouts).
    BOOL Running() const { return m_running; }

    // Player thread. Plans the clicks for a song that starts at tick,
    // the first click at now; FALSE (nothing planned) while switched off.
    // A new pass of the loop is counted in only when the user asked for
    // that.
    BOOL Begin(CPlayerState& state, const CMetronome& metronome, LONGLONG tick, LONGLONG now, Due due);
    // Sends the clicks due at now (each ending the one before) and returns
    // when the next is due; once the last has sounded, ends it and returns
    // the time the song starts at, with Running() FALSE.
    LONGLONG Play(CSerialMidiOut& output, CPlayerState& state, CMetronome& metronome, LONGLONG now);
    // A stop or a new start: the click that sounds ends, nothing more is due.
    void Cancel(CSerialMidiOut& output, CPlayerState& state, CMetronome& metronome);
    // The position the song starts at once the clicks are over.
    LONGLONG SongTick() const { return m_songTick; }

private:
    std::atomic<int> m_bars { 0 };
    std::atomic<bool> m_beforeEachPass { false };
    std::atomic<BOOL> m_running { FALSE };
    // The plan (player thread): the first click's time, the time between
    // clicks, how many there are, how many went out and how many make a bar.
    LONGLONG m_firstClick { 0 };
    LONGLONG m_clickMicros { 0 };
    int m_clicks { 0 };
    int m_sent { 0 };
    int m_clicksPerBar { 0 };
    LONGLONG m_songTick { 0 };
    // The key of the click that sounds, 0 for none.
    BYTE m_sounding { 0 };
    BYTE m_soundingChannel { 9 };
};
