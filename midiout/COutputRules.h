#pragma once

#include "platform/core/WinTypes.h"

#include <atomic>
#include <cstdint>

// The player's rules that the output stage applies to every message: the
// transposition, the drum channel that transposition leaves alone, and the
// channels whose notes are not to sound. The player state is such a record;
// the stage reads it on the player thread while the window changes it.
class COutputRules {
public:
    COutputRules() = default;
    virtual ~COutputRules() = default;
    COutputRules(const COutputRules&) = delete;
    COutputRules& operator=(const COutputRules&) = delete;

    // TRUE while Note Ons of velocity 16 and up on the channel (0..15) are
    // not to be sent.
    virtual BOOL IsMuted(int channel) const = 0;

    // Semitones, -12..12.
    std::atomic<std::int32_t> m_transpose { 0 };
    // 0..15; the tenth channel (9) unless the user chose another.
    std::atomic<BYTE> m_drumChannel { 9 };
};
