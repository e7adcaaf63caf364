#pragma once

#include "platform/core/WinTypes.h"
#include "song/CRing.h"

// The header record of the loaded file; always a ring of one.
class CSong {
public:
    CSong();
    virtual ~CSong();
    CSong(const CSong&) = delete;
    CSong& operator=(const CSong&) = delete;

    std::int32_t m_format { 0 };
    std::int32_t m_trackCount { 0 };
    // Microseconds per quarter note of the last track with a tempo event;
    // 0 when the song has none.
    ULONGLONG m_tempo { 0 };

    CSong* m_next;
    CSong* m_prev;
    std::int32_t m_serial;
    std::uint16_t m_mark;

    static CRing::Counter s_serialCounter;
};
