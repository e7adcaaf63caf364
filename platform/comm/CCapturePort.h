#pragma once

#include "platform/comm/CSoftPort.h"

#include <cstdio>
#include <memory>
#include <string>

// Writes every byte as one line "<microseconds since the port opened>
// <two uppercase hex digits>" into a text file, flushed as it goes.
class CCapturePort : public CSoftPort {
public:
    static std::shared_ptr<CCapturePort> Open(const std::string& path);
    ~CCapturePort() override;

protected:
    BOOL Emit(BYTE byte) override;
    void OnClose() override;

private:
    explicit CCapturePort(std::FILE* file);

    std::mutex m_fileLock;
    std::FILE* m_file;
    Clock::time_point m_opened;
};
