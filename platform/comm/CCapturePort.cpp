#include "platform/comm/CCapturePort.h"

#include "platform/comm/OutputFile.h"

#include <cerrno>
#include <cstdio>
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
    // A FIFO with no reader fails at once instead of holding the start-up;
    // a reader that is slow holds the writes.
    int fd = OpenOutputFile(path);
    if (fd < 0) {
        SetLastError(static_cast<DWORD>(errno));
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
    if (WriteFully(m_fd, line, static_cast<size_t>(length)) != static_cast<size_t>(length)) {
        SetLastError(static_cast<DWORD>(errno));
        return FALSE;
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
