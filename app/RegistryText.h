#pragma once

#include "platform/core/CString.h"
#include "platform/registry/Registry.h"

#include <string>

// A registry value holding single-byte text with a terminating zero byte,
// although its type is REG_SZ and the wide-character calls are used. Reader
// and writer agree on that form.

// Reads the value's bytes up to the first zero byte (or the end of what was
// read); a value larger than bufferSize is not read. TRUE when it was read.
BOOL ReadRegBytes(HKEY root, CString keyPath, CString valueName, std::string& bytes, DWORD bufferSize);
// Creates or opens the key and writes the bytes (up to a zero byte among
// them) plus one zero byte; TRUE when the value was written.
BOOL WriteRegBytes(HKEY root, CString keyPath, CString valueName, const std::string& bytes);

// Removes the value; TRUE when it is gone (or was never there).
BOOL DeleteRegValue(HKEY root, CString keyPath, CString valueName);

// The same for text in the ANSI code page, in a buffer of 1024 bytes.
BOOL ReadRegString(HKEY root, CString keyPath, CString valueName, CString& text);
BOOL WriteRegString(HKEY root, CString keyPath, CString valueName, CString text);
