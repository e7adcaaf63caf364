#pragma once

#include "platform/core/WinTypes.h"
#include "song/CRing.h"

#include <cstdint>

#include <atomic>

class CSerialMidiOut;
class CPlayerState;
class CMeterMap;
struct CMetronomeSettings;

// Clicks on every beat of the song's meter (a quarter in 4/4 and 3/4, a
// dotted quarter in 6/8, 9/8 and 12/8, or there every eighth when the user
// asks for it), a louder one on the first beat of every bar. It has no
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

    // The user's sound, volume and compound-meter choice (any thread).
    void SetSettings(const CMetronomeSettings& settings);
    // How many of the meter's beats at tick make one click: 3 in a compound
    // meter unless every eighth clicks, otherwise 1.
    LONGLONG BeatsPerClick(const CMeterMap& meter, LONGLONG tick) const;
    // The first tick of the click's beat group that tick lies in, and of
    // the next one after it.
    LONGLONG ClickStart(const CMeterMap& meter, LONGLONG tick) const;
    LONGLONG NextClickStart(const CMeterMap& meter, LONGLONG tick) const;

    // Switched by the user-interface thread, as are the sound, the
    // velocities and m_compoundEighths; everything else belongs to the
    // player thread.
    std::atomic<BOOL> m_enabled { 0 };
    BOOL m_accentOn { 0 };
    BYTE m_accentChannel { 9 };
    std::atomic<BYTE> m_accentKey { 37 };
    std::atomic<BYTE> m_accentVelocity { 127 };
    BOOL m_beatOn { 0 };
    BYTE m_beatChannel { 9 };
    std::atomic<BYTE> m_beatKey { 37 };
    std::atomic<BYTE> m_beatVelocity { 63 };
    std::atomic<bool> m_compoundEighths { false };
    LONGLONG m_lastTick { 0 };
    LONGLONG m_anchorTick { 0 };

    CMetronome* m_next;
    CMetronome* m_prev;
    std::int32_t m_serial;
    std::uint16_t m_mark;

    static CRing::Counter s_serialCounter;

private:
    void EndClicks(CSerialMidiOut* output, CPlayerState* state);
    // The key each click was sent with: a change of sound meanwhile still
    // ends the click that sounds.
    BYTE m_accentSounding { 0 };
    BYTE m_beatSounding { 0 };
};
