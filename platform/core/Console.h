#pragma once

#include "platform/core/WinTypes.h"

// Services of the process's console for the command-line tools.

// TRUE when standard output (1) or standard error (2) is a terminal.
BOOL IsTerminalStream(int stream);

// Catches Ctrl-C, a termination request and the hang-up of the terminal
// (SIGINT, SIGTERM, SIGHUP): the first one only sets a flag that
// InterruptRequested reports, so the program can stop cleanly and end with
// 128 + InterruptSignal(); a second one ends the process at once with that
// status for its own signal.
void InstallInterruptHandler();
BOOL InterruptRequested();
// The number of the first signal caught, 0 before any.
int InterruptSignal();
// A descriptor that becomes readable when the first signal comes, for an
// event loop to watch; -1 before InstallInterruptHandler.
int InterruptWakeHandle();

// Processor time (user and system) the process has used, in microseconds.
ULONGLONG GetProcessCpuMicroseconds();
// The same for the calling thread alone.
ULONGLONG GetThreadCpuMicroseconds();
