#include "platform/core/CEvent.h"
#include "platform/core/CWinThread.h"
#include "platform/core/TickCount.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Works in units; between two units it offers to be parked.
class WorkerThread : public CWinThread {
public:
    BOOL InitInstance() override
    {
        started = true;
        while (!stop) {
            inUnit = true;
            units.fetch_add(1);
            Sleep(1);
            inUnit = false;
            SuspendCheckpoint();
        }
        return FALSE;
    }
    int ExitInstance() override { return 7; }
    void Delete() override
    {
        deleted = true;
        CWinThread::Delete();
    }

    std::atomic<bool> started { false };
    std::atomic<bool> stop { false };
    std::atomic<bool> inUnit { false };
    std::atomic<bool> deleted { false };
    std::atomic<int> units { 0 };
};

}

TEST(Event, AutoResetReleasesOneWaitAndTimesOut)
{
    CEvent event;
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(event, 5), WAIT_TIMEOUT);
    event.SetEvent();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);

    CEvent manual(FALSE, TRUE);
    manual.SetEvent();
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    manual.ResetEvent();
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);

    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    // A closed handle is no longer found, whatever object lived behind it.
    HANDLE stale;
    {
        CEvent gone;
        stale = gone;
    }
    EXPECT_EQ(WaitForSingleObject(stale, 0), WAIT_FAILED);

    // A set from another thread wakes an endless wait.
    std::thread setter([&event] { Sleep(10); event.SetEvent(); });
    EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
    setter.join();
}

TEST(WinThread, CreatedSuspendedItWaitsForResume)
{
    WorkerThread thread;
    thread.m_bAutoDelete = FALSE;
    ASSERT_TRUE(thread.CreateThread(CREATE_SUSPENDED));
    EXPECT_NE(thread.m_nThreadID, 0u);
    Sleep(20);
    EXPECT_FALSE(thread.started);
    // Not started yet counts as parked: the suspension returns at once.
    EXPECT_EQ(thread.SuspendThread(), 1u);
    EXPECT_EQ(thread.ResumeThread(), 2u);
    EXPECT_EQ(thread.ResumeThread(), 1u);
    while (!thread.started)
        Sleep(1);
    EXPECT_EQ(WaitForSingleObject(thread.m_hThread, 0), WAIT_TIMEOUT);
    DWORD running = 0;
    EXPECT_TRUE(GetExitCodeThread(thread.m_hThread, &running));
    EXPECT_EQ(running, STILL_ACTIVE);
    thread.stop = true;
    EXPECT_EQ(WaitForSingleObject(thread.m_hThread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(thread.deleted);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread.m_hThread, &code));
    EXPECT_EQ(code, 7u);
    // An ended thread counts as parked too.
    EXPECT_EQ(thread.SuspendThread(), 0u);
}

TEST(WinThread, SuspendReturnsOnlyOnceTheThreadStandsBetweenUnits)
{
    // Both ways of starting: running at once, and suspended then resumed
    // before the thread got to run.
    for (DWORD flags : { 0u, static_cast<DWORD>(CREATE_SUSPENDED) }) {
        WorkerThread thread;
        thread.m_bAutoDelete = FALSE;
        ASSERT_TRUE(thread.CreateThread(flags));
        if (flags)
            thread.ResumeThread();
        while (thread.units < 2)
            Sleep(1);
        for (int round = 0; round < 30; ++round) {
            thread.SuspendThread();
            EXPECT_FALSE(thread.inUnit);
            int units = thread.units;
            Sleep(3);
            EXPECT_EQ(thread.units, units);
            thread.ResumeThread();
        }
        thread.stop = true;
        WaitForSingleObject(thread.m_hThread, INFINITE);
    }
    EXPECT_EQ(ResumeThread(nullptr), 0xFFFFFFFFu);
}

TEST(WinThread, AutoDeleteDestroysTheObjectAtTheEnd)
{
    struct Short : CWinThread {
        explicit Short(std::atomic<bool>& destroyed) : m_destroyed(destroyed) { }
        ~Short() override { m_destroyed = true; }
        BOOL InitInstance() override { return FALSE; }
        std::atomic<bool>& m_destroyed;
    };
    std::atomic<bool> destroyed { false };
    auto* thread = new Short(destroyed);
    ASSERT_TRUE(thread->CreateThread());
    while (!destroyed)
        Sleep(1);
}

TEST(Clock, OneSourceDrivesTheTickCountAndThePerformanceCounter)
{
    LARGE_INTEGER frequency {};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1000000);

    static std::atomic<LONGLONG> counter { 0 };
    counter = 0x100000000LL * 1000 + 1999;
    SetPerformanceCounterSource([] { return counter.load(); });
    LARGE_INTEGER count {};
    ASSERT_TRUE(QueryPerformanceCounter(&count));
    EXPECT_EQ(count.QuadPart, counter.load());
    // The tick count is the counter in whole milliseconds, modulo 2^32.
    EXPECT_EQ(GetTickCount(), 1u);

    static std::atomic<DWORD> ticks { 0 };
    ticks = 0xFFFFFFF0u;
    SetTickCountSource([] { return ticks.load(); });
    ASSERT_TRUE(QueryPerformanceCounter(&count));
    EXPECT_EQ(count.QuadPart, 0xFFFFFFF0LL * 1000);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    SetTickCountSource(nullptr);
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

TEST(WinThread, AThreadWaitingAtACheckpointCountsAsParked)
{
    struct Waiter : CWinThread {
        BOOL InitInstance() override
        {
            while (!stop) {
                CheckpointWait(wake, CSyncObject::FOREVER);
                woken.fetch_add(1);
            }
            return FALSE;
        }
        CEvent wake;
        std::atomic<bool> stop { false };
        std::atomic<int> woken { 0 };
    } thread;
    thread.m_bAutoDelete = FALSE;
    ASSERT_TRUE(thread.CreateThread());

    // The suspension returns although the wait never ends by itself...
    thread.SuspendThread();
    // ...and a wake meanwhile leaves the thread parked until it is resumed.
    thread.wake.SetEvent();
    Sleep(20);
    EXPECT_EQ(thread.woken, 0);
    thread.ResumeThread();
    while (thread.woken == 0)
        Sleep(1);

    // The time-out counts in microseconds.
    CEvent idle;
    LARGE_INTEGER before {}, after {};
    QueryPerformanceCounter(&before);
    EXPECT_EQ(CheckpointWait(idle, 1500), WAIT_TIMEOUT);
    QueryPerformanceCounter(&after);
    EXPECT_GE(after.QuadPart - before.QuadPart, 1500);
    EXPECT_EQ(CheckpointWait(nullptr, 0), WAIT_FAILED);

    thread.stop = true;
    thread.wake.SetEvent();
    WaitForSingleObject(thread.m_hThread, INFINITE);
}
