#pragma once

#include "platform/core/WinTypes.h"

// Base of the objects a thread can wait for (events and threads). Their
// HANDLE is the object's own address, so WaitForSingleObject can reach them.
class CSyncObject {
public:
    CSyncObject() = default;
    CSyncObject(const CSyncObject&) = delete;
    CSyncObject& operator=(const CSyncObject&) = delete;
    virtual ~CSyncObject() = default;

    // WAIT_OBJECT_0 once signalled, WAIT_TIMEOUT after the given
    // milliseconds (INFINITE waits for ever, 0 only tests).
    virtual DWORD Wait(DWORD milliseconds) = 0;

    HANDLE GetHandle() { return static_cast<HANDLE>(this); }
};

// Waits for an event or a thread handle; WAIT_FAILED for a null or
// invalid handle. Other kinds of handle (serial ports) cannot be waited for.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
