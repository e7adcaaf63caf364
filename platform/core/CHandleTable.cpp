#include "platform/core/CHandleTable.h"

#include "platform/core/LastError.h"

#include <map>
#include <mutex>

namespace {

std::mutex g_lock;
std::map<std::uintptr_t, std::shared_ptr<CKernelObject>> g_objects;
// Starts well above the small values a careless caller might pass and
// steps by 4, as handle values do on the platform.
std::uintptr_t g_next = 0x1000;

}

HANDLE CHandleTable::Add(std::shared_ptr<CKernelObject> object)
{
    std::lock_guard<std::mutex> guard(g_lock);
    std::uintptr_t value = g_next;
    g_next += 4;
    g_objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<CKernelObject> CHandleTable::Find(HANDLE handle)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = g_objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == g_objects.end() ? nullptr : it->second;
}

std::shared_ptr<CKernelObject> CHandleTable::Remove(HANDLE handle)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = g_objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == g_objects.end())
        return nullptr;
    std::shared_ptr<CKernelObject> object = std::move(it->second);
    g_objects.erase(it);
    return object;
}

BOOL CloseHandle(HANDLE handle)
{
    std::shared_ptr<CKernelObject> object = CHandleTable::Remove(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->Close();
    return TRUE;
}
