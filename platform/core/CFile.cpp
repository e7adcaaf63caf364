#include "platform/core/CFile.h"

#include "platform/core/CString.h"
#include "platform/core/LastError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CFile::~CFile()
{
    Close();
}

BOOL CFile::Open(LPCWSTR path, UINT)
{
    Close();
    if (!path)
        return FALSE;
    std::string name = CString(path).ToUtf8();
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        SetLastError(static_cast<DWORD>(errno));
        return FALSE;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        SetLastError(S_ISDIR(info.st_mode) ? static_cast<DWORD>(EISDIR) : ERROR_BAD_FILE_TYPE);
        ::close(fd);
        return FALSE;
    }
    m_fd = fd;
    return TRUE;
}

LONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    if (m_fd < 0)
        return -1;
    int whence = from == end ? SEEK_END : from == current ? SEEK_CUR : SEEK_SET;
    const off_t at = ::lseek(m_fd, offset, whence);
    if (at < 0)
        SetLastError(static_cast<DWORD>(errno));
    return at;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (m_fd < 0 || !buffer)
        return 0;
    UINT done = 0;
    auto* out = static_cast<unsigned char*>(buffer);
    while (done < count) {
        ssize_t n = ::read(m_fd, out + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            SetLastError(static_cast<DWORD>(errno));
        if (n <= 0)
            break;
        done += static_cast<UINT>(n);
    }
    return done;
}

void CFile::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

BOOL CFile::Remove(LPCWSTR path)
{
    if (unlink(CString(path).ToUtf8().c_str()) != 0) {
        SetLastError(static_cast<DWORD>(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR path, void*)
{
    if (!path || mkdir(CString(path).ToUtf8().c_str(), 0777) != 0) {
        SetLastError(!path ? static_cast<DWORD>(EINVAL) : static_cast<DWORD>(errno));
        return FALSE;
    }
    return TRUE;
}
