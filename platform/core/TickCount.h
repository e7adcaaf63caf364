#pragma once

#include "platform/core/WinTypes.h"

#include <atomic>

// Milliseconds since an arbitrary start, from a monotonic clock, wrapping
// at 2^32 as the platform's tick count does.
DWORD GetTickCount();

// The high-resolution counter of the same clock: counts since the same
// start, QueryPerformanceFrequency() of them per second (one per
// microsecond). The tick count is the counter in whole milliseconds, so the
// two never disagree.
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

// Asks for timed waits as exact as the system can make them (period in
// milliseconds, at least 1); timeEndPeriod with the same period undoes it.
// Here it holds for the calling thread: the system may otherwise let a wait
// run on for tens of microseconds to gather wake-ups. TIMERR_NOERROR, or
// TIMERR_NOCANDO for a period of 0.
#define TIMERR_NOERROR 0u
#define TIMERR_NOCANDO 97u
UINT timeBeginPeriod(UINT period);
UINT timeEndPeriod(UINT period);

// Sleeps for the given milliseconds; Sleep(0) only yields the processor.
void Sleep(DWORD milliseconds);

// Tests may replace the clock to drive it without waiting: either by its
// tick count (the counter then runs in whole milliseconds) or by its
// performance counter (the tick count then follows it). Setting one drops
// the other; pass null to return to the real clock.
using TickCountSource = DWORD (*)();
void SetTickCountSource(TickCountSource source);
using PerformanceCounterSource = LONGLONG (*)();
void SetPerformanceCounterSource(PerformanceCounterSource source);
// A clock of the calling thread alone, counted in microseconds, that goes
// before the process's (real or replaced) on that thread: a render on a
// thread of its own moves it by hand while the rest of the program keeps the
// real clock. Null gives the thread the process's clock back.
void SetThreadCounterSource(const std::atomic<LONGLONG>* micros);
// TRUE while one of these sources (or the thread's own) replaces the real
// clock on the calling thread.
BOOL IsClockReplaced();

// Sleeps until the real clock reaches the millisecond boundary that lies
// the given number of milliseconds after the current tick count: unlike
// Sleep, a loop of such sleeps stays in step with the tick count instead of
// drifting by the oversleep of every call.
void SleepToNextTick(DWORD milliseconds);
