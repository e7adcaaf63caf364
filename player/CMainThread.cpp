#include "player/CMainThread.h"

#include "platform/core/TickCount.h"
#include "player/CPlayerHost.h"

CMainThread::CMainThread(CPlayerHost* owner)
    : m_pOwner(owner)
{
    m_bAutoDelete = FALSE;
}

CMainThread::~CMainThread() = default;

BOOL CMainThread::InitInstance()
{
    // The thread sleeps until the next event is due; it should wake then.
    timeBeginPeriod(1);
    while (WaitForSingleObject(m_kill, 0) == WAIT_TIMEOUT) {
        m_pOwner->PlayerPeriod();
        // Between two periods the thread holds no track or event, so this
        // is where the loader may park it while it frees the old song.
        SuspendCheckpoint();
    }
    timeEndPeriod(1);
    return FALSE;
}

void CMainThread::Delete()
{
    CWinThread::Delete();
    m_finished.SetEvent();
}

void CMainThread::Terminate()
{
    m_kill.SetEvent();
    // The thread may sleep until its next request.
    m_pOwner->m_playerState.Wake();
    WaitForSingleObject(m_finished, INFINITE);
    WaitForSingleObject(m_hThread, INFINITE);
}
