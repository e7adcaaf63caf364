#include "platform/comm/CMidiByteParser.h"

int CMidiByteParser::DataLength(BYTE status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    case 0xF0:
        return status == 0xF2 ? 2 : ((status == 0xF1 || status == 0xF3) ? 1 : 0);
    default:
        return 2;
    }
}

bool CMidiByteParser::Feed(BYTE byte, Message& out)
{
    if (byte >= 0xF8) {
        out = { byte, 0, 0, {} };
        return true;
    }
    if (byte == 0xF0) {
        m_inSysex = true;
        m_sysexOverflow = false;
        m_sysex.assign(1, byte);
        m_status = 0;
        return false;
    }
    if (m_inSysex) {
        if (byte < 0x80) {
            if (m_sysex.size() < kSysexLimit)
                m_sysex.push_back(byte);
            else
                m_sysexOverflow = true;
            return false;
        }
        // F7 or any other status ends the message; only a complete one
        // that fitted is handed on.
        m_inSysex = false;
        bool complete = byte == 0xF7 && !m_sysexOverflow;
        if (byte != 0xF7)
            return Feed(byte, out);
        if (!complete)
            return false;
        m_sysex.push_back(byte);
        out = { 0xF0, 0, 0, std::move(m_sysex) };
        m_sysex.clear();
        return true;
    }
    if (byte >= 0x80) {
        m_status = byte;
        m_have = 0;
        if (DataLength(byte) == 0) {
            // System common messages without data cancel running status.
            m_status = 0;
            if (byte == 0xF7)
                return false;
            out = { byte, 0, 0, {} };
            return true;
        }
        return false;
    }
    if (m_status == 0)
        return false;
    m_data[m_have++] = byte;
    if (m_have < DataLength(m_status))
        return false;
    out = { m_status, m_data[0], static_cast<BYTE>(m_have > 1 ? m_data[1] : 0), {} };
    m_have = 0;
    if (m_status >= 0xF0)
        m_status = 0;
    return true;
}
