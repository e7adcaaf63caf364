#pragma once

#include "platform/core/TickCount.h"

#include <atomic>

// A clock set by hand in place of the system's, for the whole process: tests
// drive it so that their results do not depend on how fast the machine runs,
// and playback faster than real time moves it from one wake-up of the player
// to the next. It drives the performance counter in microseconds, and with it
// the tick count in milliseconds. Only one may live at a time.
class DrivenTickCount {
public:
    explicit DrivenTickCount(DWORD startMs)
    {
        s_micros = static_cast<LONGLONG>(startMs) * 1000;
        SetPerformanceCounterSource(&Now);
    }
    ~DrivenTickCount() { SetPerformanceCounterSource(nullptr); }
    DrivenTickCount(const DrivenTickCount&) = delete;
    DrivenTickCount& operator=(const DrivenTickCount&) = delete;

    // The tick count in milliseconds; the counter follows.
    void Set(DWORD ms) { s_micros = static_cast<LONGLONG>(ms) * 1000; }
    void Advance(DWORD ms) { s_micros += static_cast<LONGLONG>(ms) * 1000; }
    DWORD Get() const { return static_cast<DWORD>(s_micros / 1000); }
    // The counter itself, in microseconds.
    void SetMicros(LONGLONG us) { s_micros = us; }
    void AdvanceMicros(LONGLONG us) { s_micros += us; }
    LONGLONG Micros() const { return s_micros; }

private:
    static LONGLONG Now() { return s_micros; }
    static inline std::atomic<LONGLONG> s_micros { 0 };
};

// The same for the thread that creates it alone (and that must destroy it):
// renders on threads of their own each move one, side by side with each
// other and with playback on the real clock.
class ThreadDrivenTickCount {
public:
    ThreadDrivenTickCount() { SetThreadCounterSource(&m_micros); }
    ~ThreadDrivenTickCount() { SetThreadCounterSource(nullptr); }
    ThreadDrivenTickCount(const ThreadDrivenTickCount&) = delete;
    ThreadDrivenTickCount& operator=(const ThreadDrivenTickCount&) = delete;

    void AdvanceMicros(LONGLONG us) { m_micros += us; }
    LONGLONG Micros() const { return m_micros; }

private:
    std::atomic<LONGLONG> m_micros { 0 };
};
