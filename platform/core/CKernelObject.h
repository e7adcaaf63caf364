#pragma once

#include "platform/core/WinTypes.h"

// An object that lives behind a HANDLE (a thread, a communications port).
// The handle table owns it jointly with any call in progress on it, so a
// CloseHandle on one thread never frees an object another thread is using:
// Close only tells it to release its waiters and resources.
class CKernelObject {
public:
    CKernelObject() = default;
    virtual ~CKernelObject() = default;
    CKernelObject(const CKernelObject&) = delete;
    CKernelObject& operator=(const CKernelObject&) = delete;

    virtual void Close() { }
};
