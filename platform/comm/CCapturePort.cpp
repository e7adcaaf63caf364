#include "platform/comm/CCapturePort.h"

#include <cerrno>

CCapturePort::CCapturePort(std::FILE* file)
    : m_file(file)
    , m_opened(Clock::now())
{
}

CCapturePort::~CCapturePort()
{
    if (m_file)
        std::fclose(m_file);
}

std::shared_ptr<CCapturePort> CCapturePort::Open(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        SetLastError(static_cast<DWORD>(errno));
        return nullptr;
    }
    return std::shared_ptr<CCapturePort>(new CCapturePort(file));
}

BOOL CCapturePort::Emit(BYTE byte)
{
    std::lock_guard<std::mutex> guard(m_fileLock);
    if (!m_file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    long long us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - m_opened).count();
    if (std::fprintf(m_file, "%lld %02X\n", us, static_cast<unsigned>(byte)) < 0 || std::fflush(m_file) != 0) {
        SetLastError(static_cast<DWORD>(errno));
        return FALSE;
    }
    return TRUE;
}

void CCapturePort::OnClose()
{
    std::lock_guard<std::mutex> guard(m_fileLock);
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}
