#include "platform/core/CSyncObject.h"

#include "platform/core/CHandleTable.h"
#include "platform/core/LastError.h"

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    std::shared_ptr<CSyncObject> object = CHandleTable::FindAs<CSyncObject>(handle);
    if (!object)
        return WAIT_FAILED;
    return object->Wait(milliseconds == INFINITE ? CSyncObject::FOREVER : milliseconds * 1000ULL);
}
