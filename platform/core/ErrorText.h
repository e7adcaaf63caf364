#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

// The system's text for an error code (FormatMessageW), as the user is
// shown it after "Unable to ..." or a file's name; "Unknown error" when the
// system has none to give.
CString ErrorText(DWORD code);
