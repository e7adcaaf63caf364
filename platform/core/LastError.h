#pragma once

#include "platform/core/WinTypes.h"

#include <cstdarg>

// The last-error code of the calling thread. Codes are the host's errno
// values; the names below are the ones the system's callers test for.
DWORD GetLastError();
void SetLastError(DWORD code);

#define ERROR_SUCCESS 0u
#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_INVALID_HANDLE 9u
#define ERROR_NOT_ENOUGH_MEMORY 12u
#define ERROR_ACCESS_DENIED 13u
#define ERROR_ALREADY_EXISTS 17u
#define ERROR_INVALID_PARAMETER 22u
#define ERROR_NOT_SUPPORTED 95u
#define ERROR_TIMEOUT 110u
// The program's own codes (bit 29 set, as the platform reserves for
// applications), with texts of their own.
#define ERROR_NOT_A_MIDI_DEVICE 0x20000001u
#define ERROR_SOUNDFONT_NOT_FOUND 0x20000002u
#define ERROR_BAD_SOUNDFONT 0x20000003u
#define ERROR_NO_SYNTHESIZER 0x20000004u
#define ERROR_NO_ALSA 0x20000005u
// Outside the host's errno values: a device, pipe or socket where a regular
// file is needed.
#define ERROR_BAD_FILE_TYPE 222u

using HLOCAL = void*;

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_STRING 0x00000400u
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x00002000u

#define LANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(p, s) ((static_cast<WORD>(s) << 10) | static_cast<WORD>(p))

// Only FORMAT_MESSAGE_FROM_SYSTEM is supported: the text is the host's
// description of the error code. With FORMAT_MESSAGE_ALLOCATE_BUFFER,
// `buffer` is really an LPWSTR* that receives a block to be freed with
// LocalFree; otherwise the text is copied into `buffer` of `size`
// characters. Returns the number of characters, 0 on failure.
DWORD FormatMessageW(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId,
    LPWSTR buffer, DWORD size, va_list* arguments);

// Frees a block from FormatMessageW; returns null on success.
HLOCAL LocalFree(HLOCAL block);
