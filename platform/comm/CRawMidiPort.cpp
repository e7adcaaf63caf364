#include "platform/comm/CRawMidiPort.h"

#include <cerrno>
#include <fcntl.h>

std::shared_ptr<CRawMidiPort> CRawMidiPort::Open(const std::string& path)
{
    int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    // Some devices only take output.
    if (fd < 0 && (errno == EINVAL || errno == ENXIO || errno == EACCES))
        fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(static_cast<DWORD>(errno));
        return nullptr;
    }
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
