#include "platform/core/TickCount.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <sys/prctl.h>

namespace {

// At most one of the two is set.
std::atomic<TickCountSource> g_tickSource { nullptr };
std::atomic<PerformanceCounterSource> g_counterSource { nullptr };
thread_local const std::atomic<LONGLONG>* t_counter = nullptr;

constexpr LONGLONG kCountsPerSecond = 1000000;

LONGLONG RealCounter()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

LONGLONG Counter()
{
    if (t_counter)
        return t_counter->load();
    if (PerformanceCounterSource counter = g_counterSource.load(std::memory_order_acquire))
        return counter();
    if (TickCountSource ticks = g_tickSource.load(std::memory_order_acquire))
        return static_cast<LONGLONG>(ticks()) * 1000;
    return RealCounter();
}

}

DWORD GetTickCount()
{
    if (t_counter)
        return static_cast<DWORD>(static_cast<ULONGLONG>(t_counter->load() / 1000));
    if (TickCountSource ticks = g_tickSource.load(std::memory_order_acquire))
        return ticks();
    return static_cast<DWORD>(static_cast<ULONGLONG>(Counter() / 1000));
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (!count)
        return FALSE;
    count->QuadPart = Counter();
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency)
        return FALSE;
    frequency->QuadPart = kCountsPerSecond;
    return TRUE;
}

UINT timeBeginPeriod(UINT period)
{
    if (period == 0)
        return TIMERR_NOCANDO;
    // The timer slack of the calling thread, in nanoseconds.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    return TIMERR_NOERROR;
}

UINT timeEndPeriod(UINT period)
{
    if (period == 0)
        return TIMERR_NOCANDO;
    // 0 gives the thread its default slack back.
    prctl(PR_SET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);
    return TIMERR_NOERROR;
}

void Sleep(DWORD milliseconds)
{
    if (milliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SleepToNextTick(DWORD count)
{
    using namespace std::chrono;
    auto now = steady_clock::now();
    // The tick count is the clock truncated to whole milliseconds.
    auto boundary = floor<milliseconds>(now) + milliseconds(count);
    std::this_thread::sleep_until(boundary);
}

void SetTickCountSource(TickCountSource source)
{
    g_counterSource.store(nullptr, std::memory_order_release);
    g_tickSource.store(source, std::memory_order_release);
}

void SetPerformanceCounterSource(PerformanceCounterSource source)
{
    g_tickSource.store(nullptr, std::memory_order_release);
    g_counterSource.store(source, std::memory_order_release);
}

void SetThreadCounterSource(const std::atomic<LONGLONG>* micros)
{
    t_counter = micros;
}

BOOL IsClockReplaced()
{
    const bool replaced = t_counter || g_tickSource.load(std::memory_order_acquire) || g_counterSource.load(std::memory_order_acquire);
    return replaced ? TRUE : FALSE;
}
