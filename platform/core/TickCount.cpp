#include "platform/core/TickCount.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<TickCountSource> g_source { nullptr };

DWORD RealTickCount()
{
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<DWORD>(static_cast<std::uint64_t>(ms));
}

}

DWORD GetTickCount()
{
    TickCountSource source = g_source.load(std::memory_order_acquire);
    return source ? source() : RealTickCount();
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
    g_source.store(source, std::memory_order_release);
}
