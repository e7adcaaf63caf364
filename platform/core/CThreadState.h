#pragma once

#include "platform/core/CSyncObject.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

// The state behind a thread handle: its end (what WaitForSingleObject waits
// for) and its suspend count.
//
// Threads here cannot be stopped from outside, so suspension is
// cooperative: the thread calls SuspendCheckpoint() at points where it holds
// nothing (the player thread between two periods), and SuspendThread
// returns only once the thread stands parked at such a point. A thread that
// has not started its work yet, or has ended, counts as parked.
class CThreadState : public CSyncObject {
public:
    explicit CThreadState(DWORD suspendCount);
    ~CThreadState() override;

    // Waits for the thread's end.
    DWORD Wait(ULONGLONG microseconds) override;

    // Both return the previous suspend count, as the platform calls do.
    DWORD Suspend();
    DWORD Resume();
    // Called on the thread itself before its work: marks it started and
    // parks it while the suspend count is above 0.
    void Begin();
    // Called on the thread itself: parks while the suspend count is above 0.
    void Checkpoint();
    // Called on the thread itself: waits for object and counts as parked
    // while it waits; on the way out it parks while suspended.
    DWORD WaitParked(CSyncObject& object, ULONGLONG microseconds);
    void MarkEnded(DWORD exitCode);
    DWORD SuspendCount() const { return m_suspendCount.load(); }
    BOOL GetExitCode(DWORD* exitCode);

    static CThreadState* Current();
    static void SetCurrent(CThreadState* object);

    const DWORD m_id;

private:
    void ParkLocked(std::unique_lock<std::mutex>& guard);

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::atomic<DWORD> m_suspendCount;
    bool m_started { false };
    bool m_parked { false };
    bool m_waiting { false };
    bool m_ended { false };
    DWORD m_exitCode { 0 };
};

#ifndef STILL_ACTIVE
#define STILL_ACTIVE 259u
#endif

// Increments the thread's suspend count and returns once the thread is
// parked (immediately when called by the thread itself, which then parks
// until resumed). Returns the previous count, 0xFFFFFFFF for a bad handle.
DWORD SuspendThread(HANDLE thread);
// Decrements the suspend count; the thread goes on when it reaches 0.
// Returns the previous count, 0xFFFFFFFF for a bad handle.
DWORD ResumeThread(HANDLE thread);
// The thread's exit code, STILL_ACTIVE while it runs.
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
// A point between two units of work where the calling thread may be
// parked; does nothing on threads not started through CWinThread.
void SuspendCheckpoint();
// TRUE when the calling thread, started through CWinThread, is asked to
// park at its next checkpoint.
BOOL SuspendPending();
// Waits like WaitForSingleObject, the time-out in microseconds
// (CSyncObject::FOREVER for none), at a point where the calling thread holds
// nothing: a SuspendThread meanwhile returns without waiting for the wait
// to end, and the thread parks on its way out until it is resumed.
DWORD CheckpointWait(HANDLE handle, ULONGLONG microseconds);
