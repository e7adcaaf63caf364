#include "platform/core/FullPath.h"

#include "platform/core/LastError.h"

#include <cerrno>
#include <cwchar>
#include <unistd.h>
#include <vector>

namespace {

// The full path's bytes, or false when the working folder is unknown.
bool Resolve(std::string bytes, std::string& full)
{
    if (bytes[0] != '/') {
        std::vector<char> folder(4096);
        while (!::getcwd(folder.data(), folder.size())) {
            if (errno != ERANGE) {
                SetLastError(static_cast<DWORD>(errno));
                return false;
            }
            folder.resize(folder.size() * 2);
        }
        bytes = std::string(folder.data()) + "/" + bytes;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= bytes.size()) {
        size_t slash = bytes.find('/', start);
        std::string part = bytes.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    full.assign(1, '/');
    for (size_t i = 0; i < parts.size(); ++i)
        full += (i ? "/" : "") + parts[i];
    return true;
}

}

DWORD GetFullPathNameW(LPCWSTR fileName, DWORD bufferLength, LPWSTR buffer, LPWSTR* filePart)
{
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string bytes;
    if (!Resolve(CString(fileName).ToUtf8(), bytes))
        return 0;
    const CString full = CString::FromUtf8(bytes);
    const DWORD length = static_cast<DWORD>(full.GetLength());
    if (!buffer || bufferLength <= length)
        return length + 1;
    std::wmemcpy(buffer, full.GetString(), length + 1);
    if (filePart)
        *filePart = buffer + full.ReverseFind(L'/') + 1;
    return length;
}

CString FullPathName(const CString& fileName)
{
    std::string full;
    if (fileName.IsEmpty() || !Resolve(fileName.ToUtf8(), full))
        return fileName;
    return CString::FromUtf8(full);
}
