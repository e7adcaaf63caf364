#pragma once

#include "platform/core/WinTypes.h"

#include <functional>

class CPlayerHost;
class DrivenTickCount;
class ThreadDrivenTickCount;

// Plays the host's song faster than real time, on a clock moved by hand
// instead of the system's: a period of the player engine runs as soon as the
// one before it is done, and the clock then moves on by the sleep the period
// asked for. The messages thus go out in the order and at the clock times of
// playback by the player thread, without the waits between them. No player
// thread may run meanwhile.
class CDrivenPlayer {
public:
    // Called after every period while the song plays; FALSE asks for a stop,
    // which the next period carries out, all-off included.
    using PeriodDone = std::function<BOOL()>;

    // Runs periods until the player has stopped: at the song's end, after a
    // failed write or after a stop asked for. A start (CTransport::Play) is
    // pending or running; without one it returns at once.
    static void Run(CPlayerHost& host, DrivenTickCount& clock, const PeriodDone& periodDone);
    // The same on the calling thread's own clock.
    static void Run(CPlayerHost& host, ThreadDrivenTickCount& clock, const PeriodDone& periodDone);
};
