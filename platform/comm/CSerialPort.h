#pragma once

#include "platform/comm/CFdPort.h"

#include <memory>
#include <string>

// A terminal device (/dev/ttyS*, /dev/ttyUSB*, /dev/ttyACM*, a pty) through
// termios. Linux has no one-and-a-half stop bits, so that code gives two,
// the nearest framing a receiver of 1 or 1.5 accepts. CTS changes come from
// the driver's modem-line counters; a driver without them (a pty) counts
// as ready after every byte.
class CSerialPort : public CFdPort {
public:
    // Null with the last error set when the device cannot be opened.
    static std::shared_ptr<CSerialPort> Open(const std::string& path, bool exclusive);

    BOOL GetState(DCB& dcb) override;
    BOOL SetState(const DCB& dcb) override;

protected:
    bool ReportsCts() override { return m_hasCounters; }
    bool CtsChanged() override;

private:
    explicit CSerialPort(int fd);

    bool m_hasCounters { false };
    int m_lastCts { 0 };
};
