#pragma once

#include "platform/core/WinTypes.h"

#include <cstdint>

class CPlayerHost;

// The work of one player period on the host's song, output stage, player
// state and metronome: the cut of channels just muted, the request of the
// dialog (or tool) that holds the host, the clock, the loop step, the end
// test, the metronome and the due events of every track, and the refresh
// posts to the host's window. Between periods the thread sleeps until the
// next of these has work, or until a request wakes it.
class CPlayerEngine {
public:
    // One period without its sleep; returns how many microseconds the thread
    // may sleep before it has work again (at most MAX_SLEEP), or INFINITE
    // when only a request of the dialog can bring work. A loop that calls it
    // and lets the clock run that long between calls plays the song exactly
    // as the player thread does.
    static DWORD RunPeriod(CPlayerHost& host);
    // One whole period: RunPeriod, then the sleep, which the host's
    // m_playerState.Wake() ends early.
    static void Period(CPlayerHost& host);

    static constexpr DWORD MAX_SLEEP = 1000000;
    // Microseconds the module is given after a reset message.
    static constexpr LONGLONG RESET_PAUSE = 50000;
    // The command posted to the host's window when playback stopped because
    // the port failed.
    static constexpr WORD OUTPUT_FAILED = 1006;
    // The command posted to the host's window when the thread has answered
    // a stop.
    static constexpr WORD STOPPED = 1007;
    // A refresh command is posted when its last run lies more than this
    // many milliseconds back.
    static constexpr DWORD REFRESH_INTERVAL = 15;
    // TRUE when more than the refresh interval lies between last and now.
    // The unsigned difference stays right across the wrap of the 32-bit
    // tick count, where a plain comparison would stall for 49 days.
    static BOOL RefreshDue(DWORD now, DWORD last) { return now - last > REFRESH_INTERVAL ? TRUE : FALSE; }

    // The player thread's note of its last post of one refresh command.
    struct PostRecord {
        BOOL posted { FALSE };
        // Tick count of the post, and the command's last run then: until
        // that changes, the window has not run the post yet.
        DWORD at { 0 };
        DWORD lastRun { 0 };
    };

private:
    static void HandleRequest(CPlayerHost& host);
    // Cuts what still sounds on the channels the user has just muted.
    static void CutMutedChannels(CPlayerHost& host);
    static void Start(CPlayerHost& host);
    static void Resync(CPlayerHost& host);
    static void Halt(CPlayerHost& host);
    // Lets the song's clock run from tick at now, or holds it there while
    // the count-in due (host's m_countInDue) clicks.
    static void StartClock(CPlayerHost& host, LONGLONG tick, LONGLONG now, std::uint64_t mark);
    // Plays what is due; returns when the next tick is due (counter
    // microseconds), LLONG_MAX once stopped.
    static LONGLONG Play(CPlayerHost& host);
    // Sends every track's events up to and including tick; returns the
    // earliest tick still to come, or next when that is earlier.
    static LONGLONG PlayTracks(CPlayerHost& host, LONGLONG tick, LONGLONG next);
    // Moves every track's cursor to tick, then makes the cut there.
    static BOOL SeekTracks(CPlayerHost& host, LONGLONG tick, std::uint64_t mark);
    // After the all-off of a cut at tick: the chosen reset, if any, and the
    // song's state in force. TRUE when the state went out and the clock may
    // start at tick; FALSE when the pause after the reset holds it (Play
    // sends the state once the pause is over, at the host's m_settleUntil).
    static BOOL Cut(CPlayerHost& host, LONGLONG tick, std::uint64_t mark);
    // Sends again, track by track, the controllers, programs and each
    // channel's last pitch bend already played, after an all-off.
    static void ReplayTracks(CPlayerHost& host);
    // Returns when a refresh post is next wanted (counter microseconds),
    // LLONG_MAX for never.
    static LONGLONG PostRefreshes(CPlayerHost& host);
};
