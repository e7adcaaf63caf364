#pragma once

#include "platform/core/CString.h"

#include <cstdarg>

// printf-style formatting with the rules of the platform's wvsprintf:
// flags '-', '#', '0', a width, a precision, the size prefixes h, l and I64,
// and the types c C d i u x X s S (wide %s, narrow %S, %hs and %ls as
// written). There is no floating point. The result is built in a buffer of
// 512 wide characters and never passes 511 of them; longer results are cut.
// Returns the number of characters written.
constexpr int kFormatBufferSize = 512;

int FormatString(CString& out, const wchar_t* format, ...);
int FormatStringV(CString& out, const wchar_t* format, va_list args);
