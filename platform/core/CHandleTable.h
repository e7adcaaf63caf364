#pragma once

#include "platform/core/CKernelObject.h"
#include "platform/core/LastError.h"

#include <memory>

// Maps HANDLE values to kernel objects. Handle values are never reused, so
// a stale handle finds nothing instead of a newer object.
class CHandleTable {
public:
    static HANDLE Add(std::shared_ptr<CKernelObject> object);
    static std::shared_ptr<CKernelObject> Find(HANDLE handle);
    // Takes the object out of the table; null when the handle is unknown.
    static std::shared_ptr<CKernelObject> Remove(HANDLE handle);

    // The object behind the handle when it is of kind T; otherwise null,
    // with ERROR_INVALID_HANDLE as the thread's last error.
    template <class T>
    static std::shared_ptr<T> FindAs(HANDLE handle)
    {
        std::shared_ptr<T> object = std::dynamic_pointer_cast<T>(Find(handle));
        if (!object)
            SetLastError(ERROR_INVALID_HANDLE);
        return object;
    }
};

// Closes a handle of any kind; FALSE with ERROR_INVALID_HANDLE when unknown.
BOOL CloseHandle(HANDLE handle);
