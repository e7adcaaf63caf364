#include "platform/comm/CCapturePort.h"

#include "platform/comm/WriteSignals.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

CCapturePort::CCapturePort(int fd)
    : m_fd(fd)
    , m_opened(Clock::now())
{
}

CCapturePort::~CCapturePort()
{
    if (m_fd >= 0)
        close(m_fd);
}

std::shared_ptr<CCapturePort> CCapturePort::Open(const std::string& path)
{
    IgnoreWriteSignals();
    // Opened without blocking, a FIFO with no reader fails with ENXIO
    // instead of holding the start-up; the writes themselves block.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        SetLastError(static_cast<DWORD>(errno));
        return nullptr;
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        SetLastError(static_cast<DWORD>(errno));
        close(fd);
        return nullptr;
    }
    return std::shared_ptr<CCapturePort>(new CCapturePort(fd));
}

BOOL CCapturePort::Emit(BYTE byte)
{
    long long us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - m_opened).count();
    char line[40];
    int length = std::snprintf(line, sizeof line, "%lld %02X\n", us, static_cast<unsigned>(byte));
    std::lock_guard<std::mutex> guard(m_fileLock);
    if (m_fd < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // One write per line: the file holds every byte the moment it is sent.
    for (int at = 0; at < length;) {
        ssize_t put = write(m_fd, line + at, static_cast<size_t>(length - at));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            SetLastError(static_cast<DWORD>(put < 0 ? errno : EIO));
            return FALSE;
        }
        at += static_cast<int>(put);
    }
    return TRUE;
}

void CCapturePort::OnClose()
{
    std::lock_guard<std::mutex> guard(m_fileLock);
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}
