#include "platform/core/FileUri.h"

#include "platform/core/FullPath.h"
#include "platform/core/HexDigit.h"

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

CString FileArgument(const std::string& arg)
{
    CString path;
    if (arg.rfind("file:", 0) == 0 && PathFromFileUri(arg, path))
        return path;
    return CString::FromUtf8(arg);
}
