#include "platform/core/Thread.h"

#include "platform/core/CHandleTable.h"
#include "platform/core/LastError.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace {

std::atomic<DWORD> g_nextId { 1 };
std::atomic<ThreadCreationCheck> g_check { nullptr };

// The handle of a detached thread: it has nothing to release.
class CThreadObject : public CKernelObject {
public:
    explicit CThreadObject(DWORD id) : m_id(id) { }
    DWORD m_id;
};

}

HANDLE CreateThread(LPVOID, std::size_t, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags, LPDWORD id)
{
    if (ThreadCreationCheck check = g_check.load()) {
        if (DWORD fault = check(); fault != 0) {
            SetLastError(fault);
            return nullptr;
        }
    }
    if (!start || flags != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Keeps ids positive as 32-bit signed values, since callers use -1 as
    // "no thread".
    DWORD threadId = g_nextId.fetch_add(1) & 0x7FFFFFFFu;
    if (threadId == 0)
        threadId = g_nextId.fetch_add(1) & 0x7FFFFFFFu;
    if (id)
        *id = threadId;
    try {
        std::thread thread([start, parameter] { start(parameter); });
        thread.detach();
    } catch (const std::system_error& error) {
        SetLastError(static_cast<DWORD>(error.code().value()));
        return nullptr;
    }
    return CHandleTable::Add(std::make_shared<CThreadObject>(threadId));
}

void SetThreadCreationCheck(ThreadCreationCheck check)
{
    g_check.store(check);
}
