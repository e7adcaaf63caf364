#pragma once

#include "platform/core/TickCount.h"

#include <atomic>

// A tick count the test sets by hand, so clock and refresh results do not
// depend on how fast the machine runs. Only one may live at a time.
class DrivenTickCount {
public:
    explicit DrivenTickCount(DWORD start)
    {
        s_now = start;
        SetTickCountSource(&Now);
    }
    ~DrivenTickCount() { SetTickCountSource(nullptr); }
    DrivenTickCount(const DrivenTickCount&) = delete;
    DrivenTickCount& operator=(const DrivenTickCount&) = delete;

    void Set(DWORD now) { s_now = now; }
    void Advance(DWORD ms) { s_now += ms; }
    DWORD Get() const { return s_now; }

private:
    static DWORD Now() { return s_now; }
    static inline std::atomic<DWORD> s_now { 0 };
};
