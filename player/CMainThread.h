#pragma once

#include "platform/core/CEvent.h"
#include "platform/core/CWinThread.h"

class CPlayerHost;

// The player thread: runs its owner's PlayerPeriod over and over until
// Terminate. The owner deletes the object after Terminate, so the framework
// never does.
class CMainThread : public CWinThread {
public:
    explicit CMainThread(CPlayerHost* owner);
    ~CMainThread() override;

    // The player loop; returns FALSE so that the thread ends after it.
    BOOL InitInstance() override;
    // Runs at the thread's end: signals the finished event.
    void Delete() override;
    // Called on the owner's thread: ends the loop and waits until the
    // thread has finished.
    void Terminate();

    CPlayerHost* m_pOwner;
    CEvent m_kill;
    CEvent m_finished;
};
