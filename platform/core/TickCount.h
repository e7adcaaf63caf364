#pragma once

#include "platform/core/WinTypes.h"

// Milliseconds since an arbitrary start, from a monotonic clock, wrapping
// at 2^32 as the platform's tick count does.
DWORD GetTickCount();

// Sleeps for the given milliseconds; Sleep(0) only yields the processor.
void Sleep(DWORD milliseconds);

// Tests may replace the tick count (to drive a clock without waiting).
// Pass null to return to the real clock.
using TickCountSource = DWORD (*)();
void SetTickCountSource(TickCountSource source);

// Sleeps until the real clock reaches the millisecond boundary that lies
// the given number of milliseconds after the current tick count: unlike
// Sleep, a loop of such sleeps stays in step with the tick count instead of
// drifting by the oversleep of every call.
void SleepToNextTick(DWORD milliseconds);
