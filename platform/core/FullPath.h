#pragma once

#include "platform/core/CString.h"

// The full path of a file name: a relative name is taken from the working
// folder, and "." and ".." parts are resolved by the names alone (links are
// not followed), as the shell's GetFullPathName does. Returns the length of
// the full path; when it does not fit bufferLength characters (terminator
// included), the length needed with the terminator, and nothing is written.
// 0 when the working folder cannot be found. filePart, when given, points
// at the name after the last slash in buffer.
DWORD GetFullPathNameW(LPCWSTR fileName, DWORD bufferLength, LPWSTR buffer, LPWSTR* filePart);

// The full path as a string; the name unchanged when it cannot be made full.
CString FullPathName(const CString& fileName);
