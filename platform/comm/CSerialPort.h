#pragma once

#include "platform/comm/CFdPort.h"

#include <memory>
#include <string>

// A terminal device (/dev/ttyS*, /dev/ttyUSB*, /dev/ttyACM*, a pty) through
// termios. Linux has no one-and-a-half stop bits, so that code gives two,
// the nearest framing a receiver of 1 or 1.5 accepts. A written byte is
// pending while it waits in the driver's output queue (TIOCOUTQ); CTS
// changes come from the driver's modem-line counters. A pty has neither:
// its bytes never wait in a queue.
class CSerialPort : public CFdPort {
public:
    // Null with the last error set when the device cannot be opened.
    // Takes an open, non-blocking descriptor of the device; null (and the
    // descriptor closed) with the last error set when it cannot be used.
    static std::shared_ptr<CSerialPort> Open(int fd, bool exclusive);

    BOOL GetState(DCB& dcb) override;
    BOOL SetState(const DCB& dcb) override;

protected:
    bool CtsCount(int& count) override;

private:
    explicit CSerialPort(int fd);

    bool m_hasCounters { false };
};
