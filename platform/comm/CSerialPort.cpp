#include "platform/comm/CSerialPort.h"

#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct BaudEntry {
    DWORD rate;
    speed_t code;
};

constexpr BaudEntry kBauds[] = {
    { 110, B110 }, { 300, B300 }, { 600, B600 }, { 1200, B1200 }, { 2400, B2400 }, { 4800, B4800 },
    { 9600, B9600 }, { 19200, B19200 }, { 31250, 0 }, { 38400, B38400 }, { 57600, B57600 },
    { 115200, B115200 }, { 230400, B230400 }, { 460800, B460800 }, { 921600, B921600 },
};

bool ToSpeed(DWORD rate, speed_t& code)
{
    for (const BaudEntry& entry : kBauds) {
        if (entry.rate == rate && entry.code != 0) {
            code = entry.code;
            return true;
        }
    }
    return false;
}

DWORD FromSpeed(speed_t code)
{
    for (const BaudEntry& entry : kBauds) {
        if (entry.code == code && entry.code != 0)
            return entry.rate;
    }
    return 0;
}

void SetModemLine(int fd, int line, bool on)
{
    // A pty has no modem lines and answers ENOTTY; that is not an error here.
    ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

}

CSerialPort::CSerialPort(int fd)
    : CFdPort(fd)
{
    serial_icounter_struct counters {};
    m_hasCounters = ioctl(fd, TIOCGICOUNT, &counters) == 0;
}

std::shared_ptr<CSerialPort> CSerialPort::Open(int fd, bool exclusive)
{
    if (exclusive)
        ioctl(fd, TIOCEXCL);
    std::shared_ptr<CSerialPort> port(new CSerialPort(fd));
    if (!port->Ok()) {
        SetLastError(static_cast<DWORD>(errno));
        return nullptr;
    }
    return port;
}

bool CSerialPort::CtsCount(int& count)
{
    serial_icounter_struct counters {};
    if (!m_hasCounters || ioctl(m_fd, TIOCGICOUNT, &counters) != 0)
        return false;
    count = counters.cts;
    return true;
}

BOOL CSerialPort::GetState(DCB& dcb)
{
    termios tio {};
    if (tcgetattr(m_fd, &tio) != 0) {
        SetLastError(static_cast<DWORD>(errno));
        return FALSE;
    }
    CCommPort::GetState(dcb);
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = FromSpeed(cfgetospeed(&tio));
    switch (tio.c_cflag & CSIZE) {
    case CS5: dcb.ByteSize = 5; break;
    case CS6: dcb.ByteSize = 6; break;
    case CS7: dcb.ByteSize = 7; break;
    default: dcb.ByteSize = 8; break;
    }
    if (!(tio.c_cflag & PARENB))
        dcb.Parity = NOPARITY;
    else if (tio.c_cflag & CMSPAR)
        dcb.Parity = (tio.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    else
        dcb.Parity = (tio.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
    // Two stop bits read back as whatever code asked for them (1.5 or 2).
    if (!(tio.c_cflag & CSTOPB))
        dcb.StopBits = ONESTOPBIT;
    else if (dcb.StopBits == ONESTOPBIT)
        dcb.StopBits = TWOSTOPBITS;
    dcb.fBinary = 1;
    dcb.fParity = (tio.c_iflag & INPCK) ? 1 : 0;
    dcb.fOutxCtsFlow = (tio.c_cflag & CRTSCTS) ? 1 : 0;
    dcb.fOutX = (tio.c_iflag & IXON) ? 1 : 0;
    dcb.fInX = (tio.c_iflag & IXOFF) ? 1 : 0;
    dcb.XonChar = static_cast<char>(tio.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(tio.c_cc[VSTOP]);
    return TRUE;
}

BOOL CSerialPort::SetState(const DCB& dcb)
{
    speed_t speed;
    if (!ToSpeed(dcb.BaudRate, speed) || dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > SPACEPARITY
        || dcb.StopBits > TWOSTOPBITS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    termios tio {};
    if (tcgetattr(m_fd, &tio) != 0) {
        SetLastError(static_cast<DWORD>(errno));
        return FALSE;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    static constexpr tcflag_t kSizes[] = { CS5, CS6, CS7, CS8 };
    tio.c_cflag |= kSizes[dcb.ByteSize - 5];
    if (dcb.Parity != NOPARITY) {
        tio.c_cflag |= PARENB;
        if (dcb.Parity == ODDPARITY || dcb.Parity == MARKPARITY)
            tio.c_cflag |= PARODD;
        if (dcb.Parity >= MARKPARITY)
            tio.c_cflag |= CMSPAR;
    }
    if (dcb.StopBits != ONESTOPBIT)
        tio.c_cflag |= CSTOPB;
    if (dcb.fOutxCtsFlow)
        tio.c_cflag |= CRTSCTS;
    if (dcb.fParity)
        tio.c_iflag |= INPCK;
    if (dcb.fOutX)
        tio.c_iflag |= IXON;
    if (dcb.fInX)
        tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        SetLastError(static_cast<DWORD>(errno));
        return FALSE;
    }
    SetModemLine(m_fd, TIOCM_DTR, dcb.fDtrControl != DTR_CONTROL_DISABLE);
    SetModemLine(m_fd, TIOCM_RTS, dcb.fRtsControl != RTS_CONTROL_DISABLE);
    CCommPort::SetState(dcb);
    return TRUE;
}
