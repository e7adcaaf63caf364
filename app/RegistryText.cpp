#include "app/RegistryText.h"

#include "platform/core/CodePage.h"

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kBufferSize = 1024;

}

BOOL ReadRegBytes(HKEY root, CString keyPath, CString valueName, std::string& bytes, DWORD bufferSize)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    std::vector<BYTE> buffer(bufferSize);
    DWORD size = bufferSize;
    if (RegQueryValueExW(key, valueName, nullptr, nullptr, buffer.data(), &size) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return FALSE;
    }
    // Only the bytes actually read count: a value without a zero byte must
    // not run into the rest of the buffer.
    const void* zero = std::memchr(buffer.data(), 0, size);
    bytes.assign(reinterpret_cast<const char*>(buffer.data()),
        zero ? static_cast<size_t>(static_cast<const BYTE*>(zero) - buffer.data()) : size);
    RegCloseKey(key);
    return TRUE;
}

BOOL WriteRegBytes(HKEY root, CString keyPath, CString valueName, const std::string& bytes)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    wchar_t keyClass[] = L"SZ_REG";
    if (RegCreateKeyExW(root, keyPath, 0, keyClass, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return FALSE;
    const size_t length = std::strlen(bytes.c_str());
    LONG result = RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.c_str()),
        static_cast<DWORD>(length + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL DeleteRegValue(HKEY root, CString keyPath, CString valueName)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return TRUE;
    const LONG result = RegDeleteValueW(key, valueName);
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? TRUE : FALSE;
}

BOOL ReadRegString(HKEY root, CString keyPath, CString valueName, CString& text)
{
    std::string bytes;
    if (!ReadRegBytes(root, keyPath, valueName, bytes, kBufferSize))
        return FALSE;
    text = AnsiBytesToString(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return TRUE;
}

BOOL WriteRegString(HKEY root, CString keyPath, CString valueName, CString text)
{
    // A text too long for the buffer is cut, so that the value still ends in
    // its zero byte.
    char buffer[kBufferSize];
    int count = text.GetLength() < static_cast<int>(kBufferSize) - 1 ? text.GetLength() : static_cast<int>(kBufferSize) - 1;
    int written = WideCharToMultiByte(CP_ACP, 0, text, count, buffer, kBufferSize - 1, nullptr, nullptr);
    buffer[written > 0 ? written : 0] = 0;
    return WriteRegBytes(root, keyPath, valueName, buffer);
}
