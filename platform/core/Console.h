#pragma once

#include "platform/core/WinTypes.h"

// Services of the process's console for the command-line tools.

// TRUE when standard output (1) or standard error (2) is a terminal.
BOOL IsTerminalStream(int stream);

// Catches Ctrl-C (and a termination request): the first one only sets a
// flag that InterruptRequested reports, so the program can stop cleanly;
// a second one ends the process at once.
void InstallInterruptHandler();
BOOL InterruptRequested();

// Processor time (user and system) the process has used, in microseconds.
ULONGLONG GetProcessCpuMicroseconds();
// The same for the calling thread alone.
ULONGLONG GetThreadCpuMicroseconds();
