#pragma once

#include "platform/core/CString.h"

#include <string>

// The ANSI code page of the system is Windows-1252. Bytes that code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the code point of
// the same value, so every byte survives a round trip.
wchar_t AnsiToWide(unsigned char byte);
// Returns the byte for a character, or -1 when the code page has none.
int WideToAnsi(wchar_t c);

// Bytes up to the first zero byte (or the whole span) as a wide string.
CString AnsiBytesToString(const unsigned char* bytes, size_t length);

// The platform calls, for CP_ACP only. A count of -1 means zero-terminated,
// and then the terminator is converted too. With no output buffer (size 0)
// the required size is returned. Characters the code page cannot hold
// become the default character ('?'), and *usedDefault reports it.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* in, int inCount, wchar_t* out, int outCount);
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* in, int inCount, char* out, int outCount,
    const char* defaultChar, BOOL* usedDefault);
