#include "platform/ui/DragDrop.h"

#include "platform/core/FullPath.h"
#include "platform/core/HexDigit.h"
#include "platform/ui/CWindowBackend.h"
#include "platform/ui/WindowHandle.h"

#include <cwchar>

struct HDROP__ {
    std::vector<CString> files;
};

void DragAcceptFiles(HWND hwnd, BOOL accept)
{
    if (IsWindow(hwnd) && hwnd->backend)
        hwnd->backend->AcceptFiles(accept != FALSE);
}

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size)
{
    if (!drop)
        return 0;
    if (index == 0xFFFFFFFFu)
        return static_cast<UINT>(drop->files.size());
    if (index >= drop->files.size())
        return 0;
    const CString& path = drop->files[index];
    const UINT length = static_cast<UINT>(path.GetLength());
    if (!file)
        return length;
    if (size == 0)
        return 0;
    const UINT copied = length < size - 1 ? length : size - 1;
    std::wmemcpy(file, path.GetString(), copied);
    file[copied] = 0;
    return copied;
}

void DragFinish(HDROP drop)
{
    delete drop;
}

HDROP CreateDropFiles(const std::vector<CString>& files)
{
    return new HDROP__ { files };
}

BOOL PathFromFileUri(const std::string& uri, CString& path)
{
    const std::string scheme = "file://";
    if (uri.size() <= scheme.size() || uri.compare(0, scheme.size(), scheme) != 0)
        return FALSE;
    size_t start = uri.find('/', scheme.size());
    if (start == std::string::npos)
        return FALSE;
    const std::string host = uri.substr(scheme.size(), start - scheme.size());
    if (!host.empty() && host != "localhost")
        return FALSE;
    std::string bytes;
    for (size_t i = start; i < uri.size(); ++i) {
        if (uri[i] != '%') {
            bytes += uri[i];
            continue;
        }
        int hi = i + 2 < uri.size() ? HexDigitValue(uri[i + 1]) : -1;
        int lo = hi >= 0 ? HexDigitValue(uri[i + 2]) : -1;
        if (lo < 0)
            return FALSE;
        bytes += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    if (bytes.find('\0') != std::string::npos)
        return FALSE;
    path = CString::FromUtf8(bytes);
    return TRUE;
}

std::string FileUriFromPath(const CString& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (char c : FullPathName(path).ToUtf8()) {
        auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' || b == '.'
            || b == '_' || b == '~' || b == '/') {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[b >> 4];
            uri += kHex[b & 15];
        }
    }
    return uri;
}
