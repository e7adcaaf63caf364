#pragma once

#include "platform/core/WinTypes.h"

// Services of the process's console for the command-line tools.

// TRUE when standard output (1) or standard error (2) is a terminal.
BOOL IsTerminalStream(int stream);

// Catches Ctrl-C, a termination request and the hang-up of the terminal
// (SIGINT, SIGTERM, SIGHUP): the first one only sets a flag that
// InterruptRequested reports, so the program can stop cleanly and end with
// 128 + InterruptSignal(). Closing a terminal or `timeout` often sends a
// second signal within milliseconds; it changes nothing, so the cleanup
// (the all-off, a WAV header, the settings) is not cut short. The cleanup
// has a deadline of its own instead: writes that would wait past
// kCleanupMilliseconds after the first signal give up (see
// CleanupMillisecondsLeft), and a process still running a second later
// ends with 128 + InterruptSignal() and what it could finish.
void InstallInterruptHandler();
constexpr int kCleanupMilliseconds = 2000;
BOOL InterruptRequested();
// The number of the first signal caught, 0 before any.
int InterruptSignal();
// A descriptor that becomes readable when the first signal comes, for an
// event loop to watch; -1 before InstallInterruptHandler.
int InterruptWakeHandle();
// How long a write of the cleanup may still wait, in milliseconds: -1 (no
// limit) before any signal, 0 once the deadline has passed.
int CleanupMillisecondsLeft();

// Processor time (user and system) the process has used, in microseconds.
ULONGLONG GetProcessCpuMicroseconds();
// The same for the calling thread alone.
ULONGLONG GetThreadCpuMicroseconds();
