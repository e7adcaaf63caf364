#pragma once

#include "platform/comm/CFdPort.h"

#include <memory>
#include <string>

// A raw MIDI device (/dev/snd/midiC*D*, /dev/midi*): takes the bytes as
// they are. Line settings are kept but have no effect; the device is ready
// after every byte.
class CRawMidiPort : public CFdPort {
public:
    // Takes an open, non-blocking descriptor of the device; null (and the
    // descriptor closed) with the last error set when it cannot be used.
    static std::shared_ptr<CRawMidiPort> Open(int fd);
    static bool IsRawMidiPath(const std::string& path);

private:
    explicit CRawMidiPort(int fd) : CFdPort(fd) { }
};
