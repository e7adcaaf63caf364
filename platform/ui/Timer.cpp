#include "platform/ui/Timer.h"

#include "platform/core/TickCount.h"
#include "platform/ui/CWindowBackend.h"
#include "platform/ui/WindowHandle.h"

#include <algorithm>

namespace {

// Milliseconds from now to due; 0 once it has passed (the tick count wraps).
DWORD Until(DWORD due, DWORD now)
{
    const auto left = static_cast<std::int32_t>(due - now);
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

DWORD NextDelay(HWND hwnd, DWORD now)
{
    DWORD next = INFINITE;
    for (const auto& timer : hwnd->timers)
        next = std::min(next, Until(timer.due, now));
    return next;
}

void Reschedule(HWND hwnd)
{
    if (hwnd->backend)
        hwnd->backend->ScheduleTimers(NextDelay(hwnd, GetTickCount()));
}

}

std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT period, void*)
{
    if (!IsWindow(hwnd) || id == 0)
        return 0;
    // Periods are kept at least 10 ms and at most a day, as the system does.
    const DWORD bounded = std::clamp<DWORD>(period, 10, 86400000);
    const DWORD due = GetTickCount() + bounded;
    auto found = std::find_if(hwnd->timers.begin(), hwnd->timers.end(), [&](const auto& t) { return t.id == id; });
    if (found != hwnd->timers.end())
        *found = { id, bounded, due };
    else
        hwnd->timers.push_back({ id, bounded, due });
    Reschedule(hwnd);
    return id;
}

BOOL KillTimer(HWND hwnd, std::uintptr_t id)
{
    if (!IsWindow(hwnd))
        return FALSE;
    const auto before = hwnd->timers.size();
    std::erase_if(hwnd->timers, [&](const auto& t) { return t.id == id; });
    if (hwnd->timers.size() == before)
        return FALSE;
    Reschedule(hwnd);
    return TRUE;
}

DWORD PostDueTimers(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return INFINITE;
    const DWORD now = GetTickCount();
    for (auto& timer : hwnd->timers) {
        if (Until(timer.due, now) == 0) {
            PostMessageW(hwnd, WM_TIMER, timer.id, 0);
            timer.due = now + timer.period;
        }
    }
    return NextDelay(hwnd, now);
}
