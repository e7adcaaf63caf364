#pragma once

#include "platform/core/WinTypes.h"

#include <vector>

// Turns a MIDI byte stream back into messages: running status, data bytes
// without a status dropped, real-time bytes passed through without
// breaking a message, system exclusive collected up to a bounded length.
class CMidiByteParser {
public:
    struct Message {
        BYTE status;
        BYTE data1;
        BYTE data2;
        // Whole system-exclusive message, F0 ... F7, when status is 0xF0.
        std::vector<BYTE> sysex;
    };

    static constexpr std::size_t kSysexLimit = 1024;

    // TRUE when `byte` completes a message, which then is in `out`.
    bool Feed(BYTE byte, Message& out);

private:
    static int DataLength(BYTE status);

    BYTE m_status { 0 };
    BYTE m_data[2] {};
    int m_have { 0 };
    bool m_inSysex { false };
    bool m_sysexOverflow { false };
    std::vector<BYTE> m_sysex;
};
