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
