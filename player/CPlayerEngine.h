#pragma once

#include "platform/core/WinTypes.h"

class CTabrinoDlg;

// The work of one player period on the dialog's song, output stage, player
// state and metronome: the dialog's request, the clock, the end test, the
// loop step, the metronome and the due events of every track, and the
// refresh posts to the dialog's window.
class CPlayerEngine {
public:
    // One period without its sleep; returns how long the period sleeps:
    // 1 ms while playing, 15 ms otherwise.
    static DWORD RunPeriod(CTabrinoDlg& dialog);
    // One whole period, sleep included. The sleep ends on a tick-count
    // boundary, so the playing periods keep in step with the clock.
    static void Period(CTabrinoDlg& dialog);

    // The command posted to the dialog when playback stopped because the
    // port failed.
    static constexpr WORD OUTPUT_FAILED = 1006;

    static constexpr DWORD PLAYING_PERIOD = 1;
    static constexpr DWORD IDLE_PERIOD = 15;
    // A refresh command is posted when its last run lies more than this
    // many milliseconds back.
    static constexpr DWORD REFRESH_INTERVAL = 15;
    // TRUE when more than the refresh interval lies between last and now.
    // The unsigned difference stays right across the wrap of the 32-bit
    // tick count, where a plain comparison would stall for 49 days.
    static BOOL RefreshDue(DWORD now, DWORD last) { return now - last > REFRESH_INTERVAL ? TRUE : FALSE; }

private:
    static void HandleRequest(CTabrinoDlg& dialog);
    static void Play(CTabrinoDlg& dialog);
    static void SeekTracks(CTabrinoDlg& dialog, LONGLONG tick);
    static void PostRefreshes(CTabrinoDlg& dialog);
};
