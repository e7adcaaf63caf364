#pragma once

#include "platform/core/WinTypes.h"

#include <cstdint>

// Window timers: WM_TIMER with the timer's id in wParam, posted each time
// the period has passed on the tick count. A timer late by several periods
// posts once, as the system's timers do. Called on the window's thread.
// SetTimer with an id in use restarts that timer with the new period.
std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT period, void* callback);
BOOL KillTimer(HWND hwnd, std::uintptr_t id);

// Posts WM_TIMER for every timer due by the tick count now and returns the
// milliseconds until the next one is due (INFINITE for none). The window
// backend calls it when the delay it was told has passed; tests call it
// after driving the clock.
DWORD PostDueTimers(HWND hwnd);
