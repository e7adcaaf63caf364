#include "platform/core/CSyncObject.h"

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return WAIT_FAILED;
    return static_cast<CSyncObject*>(handle)->Wait(milliseconds);
}
