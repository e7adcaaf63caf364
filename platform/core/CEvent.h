#pragma once

#include "platform/core/CSyncObject.h"

#include <condition_variable>
#include <mutex>

// An event object. An auto-reset event releases one waiter per SetEvent and
// turns unsignalled again; a manual-reset event stays signalled until
// ResetEvent.
class CEvent : public CSyncObject {
public:
    explicit CEvent(BOOL initiallyOwn = FALSE, BOOL manualReset = FALSE);
    ~CEvent() override;

    BOOL SetEvent();
    BOOL ResetEvent();
    DWORD Wait(DWORD milliseconds) override;

    operator HANDLE() { return GetHandle(); }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_signalled;
    const bool m_manualReset;
};
