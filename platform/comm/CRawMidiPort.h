#pragma once

#include "platform/comm/CFdPort.h"

#include <memory>
#include <string>

// A raw MIDI device (/dev/snd/midiC*D*, /dev/midi*): takes the bytes as
// they are. Line settings are kept but have no effect; the device is ready
// after every byte.
class CRawMidiPort : public CFdPort {
public:
    static std::shared_ptr<CRawMidiPort> Open(const std::string& path);
    static bool IsRawMidiPath(const std::string& path);

private:
    explicit CRawMidiPort(int fd) : CFdPort(fd) { }
};
