#include "platform/core/Console.h"

#include <atomic>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::atomic<int> g_interrupts { 0 };

void OnInterrupt(int)
{
    if (g_interrupts.fetch_add(1) > 0)
        _exit(130);
}

}

BOOL IsTerminalStream(int stream)
{
    return (stream == 1 || stream == 2) && isatty(stream) ? TRUE : FALSE;
}

void InstallInterruptHandler()
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

BOOL InterruptRequested()
{
    return g_interrupts.load() > 0 ? TRUE : FALSE;
}

namespace {

ULONGLONG CpuMicroseconds(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    auto micros = [](const timeval& t) {
        return static_cast<ULONGLONG>(t.tv_sec) * 1000000u + static_cast<ULONGLONG>(t.tv_usec);
    };
    return micros(usage.ru_utime) + micros(usage.ru_stime);
}

}

ULONGLONG GetProcessCpuMicroseconds()
{
    return CpuMicroseconds(RUSAGE_SELF);
}

ULONGLONG GetThreadCpuMicroseconds()
{
    return CpuMicroseconds(RUSAGE_THREAD);
}
