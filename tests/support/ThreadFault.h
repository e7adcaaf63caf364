#pragma once

#include "platform/core/WinTypes.h"

// Makes the next CreateThread fail with the given error code, to reach the
// failure path that resource exhaustion would take.
void SetCreateThreadFault(DWORD error);
