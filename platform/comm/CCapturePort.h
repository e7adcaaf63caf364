#pragma once

#include "platform/comm/CSoftPort.h"

#include <memory>
#include <string>

// Writes every byte as one line "<microseconds since the port opened>
// <two uppercase hex digits>" into a text file, each line written through
// to the file as it goes. A FIFO nobody reads fails to open at once instead
// of blocking; a write that fails (a full disk, a pipe whose reader left)
// is reported as the byte's failure.
class CCapturePort : public CSoftPort {
public:
    // Null with the last error set when the file cannot be opened.
    static std::shared_ptr<CCapturePort> Open(const std::string& path);
    ~CCapturePort() override;

protected:
    BOOL Emit(BYTE byte) override;
    void OnClose() override;

private:
    explicit CCapturePort(int fd);

    std::mutex m_fileLock;
    int m_fd;
    Clock::time_point m_opened;
};
