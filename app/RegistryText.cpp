#include "app/RegistryText.h"

#include "platform/core/CodePage.h"

#include <cstring>

namespace {

constexpr DWORD kBufferSize = 1024;

}

BOOL ReadRegString(HKEY root, CString keyPath, CString valueName, CString& text)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    BYTE buffer[kBufferSize];
    DWORD size = kBufferSize;
    if (RegQueryValueExW(key, valueName, nullptr, nullptr, buffer, &size) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return FALSE;
    }
    // Only the bytes actually read count: a value without a zero byte must
    // not run into the rest of the buffer.
    text = AnsiBytesToString(buffer, size);
    RegCloseKey(key);
    return TRUE;
}

BOOL WriteRegString(HKEY root, CString keyPath, CString valueName, CString text)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    wchar_t keyClass[] = L"SZ_REG";
    if (RegCreateKeyExW(root, keyPath, 0, keyClass, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return FALSE;
    // A text too long for the buffer is cut, so that the value still ends in
    // its zero byte.
    char buffer[kBufferSize];
    int count = text.GetLength() < static_cast<int>(kBufferSize) - 1 ? text.GetLength() : static_cast<int>(kBufferSize) - 1;
    int written = WideCharToMultiByte(CP_ACP, 0, text, count, buffer, kBufferSize - 1, nullptr, nullptr);
    buffer[written > 0 ? written : 0] = 0;
    DWORD length = static_cast<DWORD>(std::strlen(buffer)) + 1;
    LONG result = RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(buffer), length);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? TRUE : FALSE;
}
