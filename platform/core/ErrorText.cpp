#include "platform/core/ErrorText.h"

#include "platform/core/LastError.h"

CString ErrorText(DWORD code)
{
    LPWSTR text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    CString result(length != 0 && text ? text : L"Unknown error");
    LocalFree(text);
    return result;
}
