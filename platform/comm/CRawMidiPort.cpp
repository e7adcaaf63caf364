#include "platform/comm/CRawMidiPort.h"

#include <cerrno>

std::shared_ptr<CRawMidiPort> CRawMidiPort::Open(int fd)
{
    std::shared_ptr<CRawMidiPort> port(new CRawMidiPort(fd));
    if (!port->Ok()) {
        SetLastError(static_cast<DWORD>(errno));
        return nullptr;
    }
    return port;
}

bool CRawMidiPort::IsRawMidiPath(const std::string& path)
{
    return path.rfind("/dev/snd/midi", 0) == 0 || path.rfind("/dev/midi", 0) == 0;
}
