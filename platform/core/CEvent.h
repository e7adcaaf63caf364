#pragma once

#include "platform/core/CSyncObject.h"

#include <memory>

// An event. An auto-reset event releases one waiter per SetEvent and turns
// unsignalled again; a manual-reset event stays signalled until ResetEvent.
// Its handle (m_hObject) is valid while the object lives.
class CEvent {
public:
    explicit CEvent(BOOL initiallyOwn = FALSE, BOOL manualReset = FALSE);
    virtual ~CEvent();
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    BOOL SetEvent();
    BOOL ResetEvent();

    operator HANDLE() const { return m_hObject; }

    HANDLE m_hObject;

private:
    class CState;
    std::shared_ptr<CState> m_state;
};
