#pragma once

#include "platform/core/WinTypes.h"
#include "song/CRing.h"

// One event of a track, in file order, with its absolute tick. Also used as
// a transient message (the metronome's clicks) that is linked into no ring.
// Owns its payload block.
class CMidiEvent {
public:
    CMidiEvent();
    virtual ~CMidiEvent();
    CMidiEvent(const CMidiEvent&) = delete;
    CMidiEvent& operator=(const CMidiEvent&) = delete;

    DWORD m_delta { 0 };
    BYTE m_status { 0 };
    BYTE m_data1 { 0 };
    BYTE m_data2 { 0 };
    BYTE m_spare { 0 };
    BYTE m_metaType { 0 };
    // System-exclusive and meta lengths are variable-length quantities in
    // the file, so the length is a full 32-bit count.
    DWORD m_payloadLength { 0 };
    // Block of m_payloadLength + 1 bytes ending in 0, or null.
    BYTE* m_payload { nullptr };
    LONGLONG m_tick { 0 };

    CMidiEvent* m_next;
    CMidiEvent* m_prev;
    std::int32_t m_serial;
    std::uint16_t m_mark;

    static CRing::Counter s_serialCounter;
};
