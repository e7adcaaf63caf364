#pragma once

#include "platform/core/CKernelObject.h"

#include <memory>

// Maps HANDLE values to kernel objects. Handle values are never reused, so
// a stale handle finds nothing instead of a newer object.
class CHandleTable {
public:
    static HANDLE Add(std::shared_ptr<CKernelObject> object);
    static std::shared_ptr<CKernelObject> Find(HANDLE handle);
    // Takes the object out of the table; null when the handle is unknown.
    static std::shared_ptr<CKernelObject> Remove(HANDLE handle);

    template <class T>
    static std::shared_ptr<T> FindAs(HANDLE handle)
    {
        return std::dynamic_pointer_cast<T>(Find(handle));
    }
};

// Closes a handle of any kind; FALSE with ERROR_INVALID_HANDLE when unknown.
BOOL CloseHandle(HANDLE handle);
