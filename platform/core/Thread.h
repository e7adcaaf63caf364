#pragma once

#include "platform/core/WinTypes.h"

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);

// Starts `start(parameter)` on a new thread at once (flags must be 0) and
// returns its handle; closing the handle leaves the thread running. The id
// (never 0 nor negative as a signed value) goes to *id when id is given.
// Returns null with the last error set when the thread cannot be created.
HANDLE CreateThread(LPVOID security, std::size_t stackSize, LPTHREAD_START_ROUTINE start,
    LPVOID parameter, DWORD flags, LPDWORD id);

// Asked before every thread is created: a result other than 0 makes the
// creation fail with that error code, as exhausted resources would. The
// test suites reach those failure paths this way; null removes it.
using ThreadCreationCheck = DWORD (*)();
void SetThreadCreationCheck(ThreadCreationCheck check);
