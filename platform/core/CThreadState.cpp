#include "platform/core/CThreadState.h"

#include "platform/core/CHandleTable.h"
#include "platform/core/LastError.h"

#include <chrono>

namespace {

std::atomic<DWORD> g_nextThreadId { 1 };
thread_local CThreadState* t_current = nullptr;

}

CThreadState::CThreadState(DWORD suspendCount)
    : m_id(g_nextThreadId.fetch_add(1))
    , m_suspendCount(suspendCount)
{
}

CThreadState::~CThreadState() = default;

DWORD CThreadState::Wait(ULONGLONG microseconds)
{
    std::unique_lock<std::mutex> guard(m_lock);
    auto ended = [this] { return m_ended; };
    if (microseconds == FOREVER)
        m_changed.wait(guard, ended);
    else if (!m_changed.wait_for(guard, Span(microseconds), ended))
        return WAIT_TIMEOUT;
    return WAIT_OBJECT_0;
}

DWORD CThreadState::Suspend()
{
    std::unique_lock<std::mutex> guard(m_lock);
    DWORD previous = m_suspendCount.fetch_add(1);
    if (m_ended)
        return previous;
    if (Current() == this)
        ParkLocked(guard);
    else
        m_changed.wait(guard, [this] { return m_parked || m_waiting || !m_started || m_ended; });
    return previous;
}

DWORD CThreadState::Resume()
{
    std::lock_guard<std::mutex> guard(m_lock);
    DWORD previous = m_suspendCount.load();
    if (previous > 0 && m_suspendCount.fetch_sub(1) == 1)
        m_changed.notify_all();
    return previous;
}

void CThreadState::Begin()
{
    std::unique_lock<std::mutex> guard(m_lock);
    m_started = true;
    ParkLocked(guard);
}

void CThreadState::Checkpoint()
{
    // The common case, nobody asking, costs one atomic load.
    if (m_suspendCount.load() == 0)
        return;
    std::unique_lock<std::mutex> guard(m_lock);
    ParkLocked(guard);
}

DWORD CThreadState::WaitParked(CSyncObject& object, ULONGLONG microseconds)
{
    {
        std::unique_lock<std::mutex> guard(m_lock);
        ParkLocked(guard);
        m_waiting = true;
    }
    m_changed.notify_all();
    DWORD result = object.Wait(microseconds);
    std::unique_lock<std::mutex> guard(m_lock);
    m_waiting = false;
    ParkLocked(guard);
    return result;
}

void CThreadState::ParkLocked(std::unique_lock<std::mutex>& guard)
{
    if (m_suspendCount.load() == 0)
        return;
    m_parked = true;
    m_changed.notify_all();
    m_changed.wait(guard, [this] { return m_suspendCount.load() == 0; });
    m_parked = false;
}

void CThreadState::MarkEnded(DWORD exitCode)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_ended = true;
        m_exitCode = exitCode;
    }
    m_changed.notify_all();
}

BOOL CThreadState::GetExitCode(DWORD* exitCode)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_ended)
        return FALSE;
    *exitCode = m_exitCode;
    return TRUE;
}

CThreadState* CThreadState::Current()
{
    return t_current;
}

void CThreadState::SetCurrent(CThreadState* object)
{
    t_current = object;
}

DWORD SuspendThread(HANDLE thread)
{
    std::shared_ptr<CThreadState> state = CHandleTable::FindAs<CThreadState>(thread);
    return state ? state->Suspend() : 0xFFFFFFFFu;
}

DWORD ResumeThread(HANDLE thread)
{
    std::shared_ptr<CThreadState> state = CHandleTable::FindAs<CThreadState>(thread);
    return state ? state->Resume() : 0xFFFFFFFFu;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode)
{
    std::shared_ptr<CThreadState> state = CHandleTable::FindAs<CThreadState>(thread);
    if (!state || !exitCode)
        return FALSE;
    if (!state->GetExitCode(exitCode))
        *exitCode = STILL_ACTIVE;
    return TRUE;
}

DWORD CheckpointWait(HANDLE handle, ULONGLONG microseconds)
{
    std::shared_ptr<CSyncObject> object = CHandleTable::FindAs<CSyncObject>(handle);
    if (!object)
        return WAIT_FAILED;
    if (CThreadState* current = CThreadState::Current())
        return current->WaitParked(*object, microseconds);
    return object->Wait(microseconds);
}

BOOL SuspendPending()
{
    CThreadState* current = CThreadState::Current();
    return current && current->SuspendCount() > 0 ? TRUE : FALSE;
}

void SuspendCheckpoint()
{
    if (CThreadState* current = CThreadState::Current())
        current->Checkpoint();
}
