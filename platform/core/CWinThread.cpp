#include "platform/core/CWinThread.h"

#include "platform/core/CHandleTable.h"

#include <system_error>
#include <thread>

CWinThread::CWinThread() = default;

CWinThread::~CWinThread()
{
    if (m_hThread)
        CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD createFlags, UINT stackSize, LPVOID securityAttributes)
{
    if (m_state)
        return FALSE;
    // A thread created running still parks at its first checkpoint when
    // somebody suspends it before it gets there.
    auto object = std::make_shared<CThreadState>((createFlags & CREATE_SUSPENDED) ? 1 : 0);
    m_state = object;
    m_hThread = CHandleTable::Add(object);
    m_nThreadID = object->m_id;
    try {
        // The thread keeps its own reference to the handle state, since
        // Delete may destroy this object before the thread has finished.
        std::thread([this, object] {
            CThreadState::SetCurrent(object.get());
            object->Begin();
            int result = InitInstance() ? Run() : ExitInstance();
            Delete();
            object->MarkEnded(static_cast<DWORD>(result));
            CThreadState::SetCurrent(nullptr);
        }).detach();
    } catch (const std::system_error&) {
        CloseHandle(m_hThread);
        m_state.reset();
        m_hThread = nullptr;
        m_nThreadID = 0;
        return FALSE;
    }
    return TRUE;
}

DWORD CWinThread::SuspendThread()
{
    return ::SuspendThread(m_hThread);
}

DWORD CWinThread::ResumeThread()
{
    return ::ResumeThread(m_hThread);
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::Run()
{
    return ExitInstance();
}

int CWinThread::ExitInstance()
{
    return 0;
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}
