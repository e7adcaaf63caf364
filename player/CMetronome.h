#pragma once

#include "platform/core/WinTypes.h"
#include "song/CRing.h"

#include <atomic>

class CSerialMidiOut;
class CPlayerState;
class CMeterMap;

// Clicks on every beat of the song's meter (a quarter in 4/4 and 3/4, an
// eighth in 6/8), a louder one on the first beat of every bar. It has no
// clock of its own: the player thread re-anchors it with Reset and hands it
// every new position with Tick.
class CMetronome {
public:
    CMetronome();
    virtual ~CMetronome();
    CMetronome(const CMetronome&) = delete;
    CMetronome& operator=(const CMetronome&) = delete;

    void Reset(CSerialMidiOut* output, CPlayerState* state, LONGLONG tick);
    void Tick(CSerialMidiOut* output, CPlayerState* state, LONGLONG tick);
    // The first position after the last Tick at which Tick would click;
    // LLONG_MAX while switched off.
    LONGLONG NextClickTick(const CMeterMap& meter) const;
    // Sends one Note On (velocity 0 ends a click).
    void Click(CSerialMidiOut* output, CPlayerState* state, BYTE channel, BYTE key, BYTE velocity);

    // Switched by the user-interface thread; everything else belongs to the
    // player thread.
    std::atomic<BOOL> m_enabled { 0 };
    BOOL m_accentOn { 0 };
    BYTE m_accentChannel { 9 };
    BYTE m_accentKey { 37 };
    BYTE m_accentVelocity { 127 };
    BOOL m_beatOn { 0 };
    BYTE m_beatChannel { 9 };
    BYTE m_beatKey { 37 };
    BYTE m_beatVelocity { 63 };
    LONGLONG m_lastTick { 0 };
    LONGLONG m_anchorTick { 0 };

    CMetronome* m_next;
    CMetronome* m_prev;
    std::int32_t m_serial;
    std::uint16_t m_mark;

    static CRing::Counter s_serialCounter;

private:
    void EndClicks(CSerialMidiOut* output, CPlayerState* state);
};
