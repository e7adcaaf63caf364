#include "platform/core/Console.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace {

// The first signal caught, 0 before any.
std::atomic<int> g_signal { 0 };
// When the cleanup's writes stop waiting (monotonic milliseconds); 0 before
// any signal.
std::atomic<long long> g_deadline { 0 };
// A pipe whose read end becomes readable when the first signal comes.
int g_wake[2] { -1, -1 };

long long MonotonicMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void OnInterrupt(int number)
{
    // Only the first signal counts; the cleanup it started runs to its end.
    int none = 0;
    if (!g_signal.compare_exchange_strong(none, number))
        return;
    const int saved = errno;
    g_deadline = MonotonicMilliseconds() + kCleanupMilliseconds;
    // Whatever still blocks a second after the deadline (a write no time-out
    // reaches) does not keep the process alive.
    alarm(kCleanupMilliseconds / 1000 + 1);
    if (g_wake[1] >= 0) {
        const char byte = 1;
        ssize_t ignored = ::write(g_wake[1], &byte, 1);
        (void)ignored;
    }
    errno = saved;
}

void OnCleanupOverdue(int)
{
    _exit(128 + g_signal.load());
}

}

BOOL IsTerminalStream(int stream)
{
    return (stream == 1 || stream == 2) && isatty(stream) ? TRUE : FALSE;
}

void InstallInterruptHandler()
{
    if (g_wake[0] < 0 && ::pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        g_wake[0] = g_wake[1] = -1;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int number : { SIGINT, SIGTERM, SIGHUP })
        sigaction(number, &action, nullptr);
    action.sa_handler = OnCleanupOverdue;
    sigaction(SIGALRM, &action, nullptr);
}

BOOL InterruptRequested()
{
    return g_signal.load() != 0 ? TRUE : FALSE;
}

int InterruptSignal()
{
    return g_signal.load();
}

int InterruptWakeHandle()
{
    return g_wake[0];
}

int CleanupMillisecondsLeft()
{
    const long long deadline = g_deadline.load();
    if (g_signal.load() == 0 || deadline == 0)
        return -1;
    const long long left = deadline - MonotonicMilliseconds();
    return left <= 0 ? 0 : static_cast<int>(left);
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
