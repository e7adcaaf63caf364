#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CThreadState.h"

#include <memory>

#ifndef CREATE_SUSPENDED
#define CREATE_SUSPENDED 0x00000004u
#endif

// A worker thread in the framework's manner: CreateThread starts it (or
// leaves it suspended), the thread runs InitInstance, then Run when
// InitInstance succeeded or ExitInstance when it failed, and finally Delete,
// which destroys the object when m_bAutoDelete is set. The handle stays
// valid, and can be waited for, as long as the object lives.
class CWinThread : public CObject {
public:
    CWinThread();
    ~CWinThread() override;

    // The stack size and security attributes are accepted for the
    // platform's signature; threads get the system's default stack.
    BOOL CreateThread(DWORD createFlags = 0, UINT stackSize = 0, LPVOID securityAttributes = nullptr);
    DWORD SuspendThread();
    DWORD ResumeThread();

    virtual BOOL InitInstance();
    // Without a message loop, Run only finishes the thread.
    virtual int Run();
    virtual int ExitInstance();
    virtual void Delete();

    HANDLE m_hThread { nullptr };
    DWORD m_nThreadID { 0 };
    BOOL m_bAutoDelete { TRUE };

private:
    std::shared_ptr<CThreadState> m_state;
};
