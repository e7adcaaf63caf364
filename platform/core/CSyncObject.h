#pragma once

#include "platform/core/CKernelObject.h"

#include <chrono>

// A kernel object a thread can wait for (events and threads), reached
// through its HANDLE in the handle table.
class CSyncObject : public CKernelObject {
public:
    // Time-outs of Wait in microseconds; this one waits for ever.
    static constexpr ULONGLONG FOREVER = ~0ULL;

    // WAIT_OBJECT_0 once signalled, WAIT_TIMEOUT after the given
    // microseconds (FOREVER waits for ever, 0 only tests).
    virtual DWORD Wait(ULONGLONG microseconds) = 0;

protected:
    // A time-out for the standard waits; one far beyond any use is held to
    // a year, so that adding it to the clock cannot overflow.
    static std::chrono::microseconds Span(ULONGLONG microseconds)
    {
        constexpr ULONGLONG kYear = 365ULL * 24 * 3600 * 1000000;
        return std::chrono::microseconds(static_cast<std::int64_t>(microseconds < kYear ? microseconds : kYear));
    }
};

// Waits for an event or a thread; WAIT_FAILED (last error
// ERROR_INVALID_HANDLE) for any other handle. The object stays alive while
// the wait lasts, even if its handle is closed meanwhile.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
