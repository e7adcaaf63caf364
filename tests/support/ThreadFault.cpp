#include "tests/support/ThreadFault.h"

#include "platform/core/Thread.h"

#include <atomic>

namespace {

std::atomic<DWORD> g_fault { 0 };

DWORD TakeFault()
{
    return g_fault.exchange(0);
}

}

void SetCreateThreadFault(DWORD error)
{
    SetThreadCreationCheck(TakeFault);
    g_fault.store(error);
}
