#pragma once

#include "platform/core/CString.h"
#include "platform/registry/Registry.h"

// A registry value holding single-byte text in the ANSI code page with a
// terminating zero byte, although its type is REG_SZ and the wide-character
// calls are used. Reader and writer agree on that form.

// Reads the value's bytes up to the first zero byte (or the end of what was
// read) into text; TRUE when the value was read.
BOOL ReadRegString(HKEY root, CString keyPath, CString valueName, CString& text);
// Creates or opens the key and writes the text as ANSI bytes plus one zero
// byte; TRUE when the value was written.
BOOL WriteRegString(HKEY root, CString keyPath, CString valueName, CString text);
