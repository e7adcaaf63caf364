#pragma once

#include "platform/core/CString.h"

#include <array>
#include <cstdint>

class CTrack;

// The channels a song plays notes on, each with a name a musician knows
// it by: the name (or else the instrument name) of a track that plays on
// that channel alone, otherwise the General MIDI name of the channel's first
// program ("Drums" on the tenth channel). The texts are the file's, decoded
// as the lyrics are, and cut to MAX_NAME characters.
class CChannelNames {
public:
    static constexpr int MAX_NAME = 40;

    void Build(const CTrack* tracks);
    BOOL IsUsed(int channel) const;
    // Empty for a channel out of range.
    CString Name(int channel) const;
    // The General MIDI name of a program 0..127; empty for any other.
    static CString ProgramName(int program);

private:
    std::uint32_t m_used { 0 };
    std::array<CString, 16> m_names;
};
