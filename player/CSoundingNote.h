#pragma once

#include "song/CRing.h"

// A key sounding on a channel, with its decaying meter value.
class CSoundingNote {
public:
    CSoundingNote();
    virtual ~CSoundingNote();
    CSoundingNote(const CSoundingNote&) = delete;
    CSoundingNote& operator=(const CSoundingNote&) = delete;

    // The key of the song's event, not transposed.
    std::int32_t m_key { 0 };
    // The Note On velocity at first, lowered by every TakeLevel, never below 1.
    std::int32_t m_value { 0 };

    CSoundingNote* m_next;
    CSoundingNote* m_prev;
    std::int32_t m_serial;
    std::uint16_t m_mark;

    static CRing::Counter s_serialCounter;
};
