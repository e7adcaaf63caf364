#include "platform/core/CodePage.h"

#include <cstring>
#include <cwchar>

namespace {

// Windows-1252 0x80..0x9F; zero marks the undefined bytes.
const wchar_t kHighControls[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

}

wchar_t AnsiToWide(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0)
        return kHighControls[byte - 0x80];
    return static_cast<wchar_t>(byte);
}

int WideToAnsi(wchar_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    if (c >= 0x80 && c < 0xA0)
        return kHighControls[c - 0x80] == 0 ? static_cast<int>(c) : -1;
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

CString AnsiBytesToString(const unsigned char* bytes, size_t length)
{
    std::wstring out;
    for (size_t i = 0; i < length && bytes[i] != 0; ++i)
        out += AnsiToWide(bytes[i]);
    return CString(std::move(out));
}

int MultiByteToWideChar(UINT, DWORD, const char* in, int inCount, wchar_t* out, int outCount)
{
    if (!in)
        return 0;
    size_t n = inCount < 0 ? std::strlen(in) + 1 : static_cast<size_t>(inCount);
    if (outCount == 0)
        return static_cast<int>(n);
    if (!out || n > static_cast<size_t>(outCount))
        return 0;
    for (size_t i = 0; i < n; ++i)
        out[i] = AnsiToWide(static_cast<unsigned char>(in[i]));
    return static_cast<int>(n);
}

int WideCharToMultiByte(UINT, DWORD, const wchar_t* in, int inCount, char* out, int outCount,
    const char* defaultChar, BOOL* usedDefault)
{
    if (usedDefault)
        *usedDefault = FALSE;
    if (!in)
        return 0;
    size_t n = inCount < 0 ? std::wcslen(in) + 1 : static_cast<size_t>(inCount);
    if (outCount == 0)
        return static_cast<int>(n);
    if (!out || n > static_cast<size_t>(outCount))
        return 0;
    for (size_t i = 0; i < n; ++i) {
        int b = WideToAnsi(in[i]);
        if (b < 0) {
            b = static_cast<unsigned char>(defaultChar ? *defaultChar : '?');
            if (usedDefault)
                *usedDefault = TRUE;
        }
        out[i] = static_cast<char>(b);
    }
    return static_cast<int>(n);
}
