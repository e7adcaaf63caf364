#pragma once

#include "midiout/CMixerValues.h"
#include "platform/core/WinTypes.h"

#include <cstdint>
#include <string>

class CMeterMap;
class CPractice;

// The practice tools as a program's command line gives them: --loop FROM-TO,
// --mute LIST, --solo N, --emphasis N[,LEVEL] and --minus-one N. Bars, beats and channels count from 1 there,
// as the readouts and the meter show them. A text that cannot be taken
// leaves the options as they were, with the reason in m_error.
class CPracticeOptions {
public:
    // "5-9" from the start of bar 5 to the start of bar 9; "5.3-9.1" from
    // the third beat of bar 5 to the first of bar 9, on the song's meter.
    // The loop must start before the song's end (length) and end after it
    // starts; an end past the song's end turns at the end.
    BOOL SetLoop(const std::string& text, const CMeterMap& meter, LONGLONG length);
    // A comma-separated list of channels 1..16, added to the muted ones.
    BOOL AddMutes(const std::string& text);
    // One channel 1..16 that alone is heard.
    BOOL SetSolo(const std::string& text);
    // The mixer's emphasis: "3" brings channel 3 forward with the others at
    // the default level, "3,20" with them at 20 %.
    BOOL SetEmphasis(const std::string& text);
    // The mixer's minus one: one channel 1..16 left out.
    BOOL SetMinusOne(const std::string& text);
    // Hands everything given to the practice tools: mutes, then the solo,
    // then the loop.
    void ApplyTo(CPractice& practice) const;

    BOOL HasLoop() const { return m_loopStart < m_loopEnd; }

    LONGLONG m_loopStart { 0 };
    LONGLONG m_loopEnd { 0 };
    // One bit a channel, bit 0 the first.
    std::uint32_t m_muted { 0 };
    // From 0; -1 for none.
    int m_solo { -1 };
    // The emphasis or minus one given, for the output stage.
    CMixerValues m_mix;
    std::string m_error;
};
