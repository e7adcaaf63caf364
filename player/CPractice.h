#pragma once

#include "platform/core/WinTypes.h"

#include <cstdint>

class CMetronome;
class CPlayerState;

// The practice tools on the player state, as the user-interface thread
// changes them: the A-B loop, channel mute and solo, and the metronome.
// Every change the player thread must act on wakes it. Loop points are
// ticks; -1 stands for a point not set.
class CPractice {
public:
    CPractice(CPlayerState& state, CMetronome& metronome);

    // A new song: no loop and no solo (loading unmutes every channel).
    void Reset();

    // Sets A or B at a position, snapped to the start of its beat. B before
    // A changes their places; A = B is no loop. A set that leaves a loop
    // switches it on.
    void SetLoopStart(LONGLONG tick);
    void SetLoopEnd(LONGLONG tick);
    // Both points at once, taken as they are, and switched on. FALSE (and
    // nothing changed) when they make no loop.
    BOOL SetLoop(LONGLONG start, LONGLONG end);
    void ClearLoop();
    // Switches a loop on or off; FALSE while there is none to switch.
    BOOL SetLoopOn(BOOL on);
    LONGLONG LoopStart() const { return m_loopStart; }
    LONGLONG LoopEnd() const { return m_loopEnd; }
    BOOL HasLoop() const;
    BOOL LoopOn() const { return m_loopOn; }

    // Muting a channel cuts what sounds on it; its Note Ons of velocity 16
    // and up are not sent and its meter shows nothing.
    void SetMuted(int channel, BOOL muted);
    void ToggleMute(int channel);
    // Mutes every other channel; the same again puts back the mutes from
    // before the solo.
    void ToggleSolo(int channel);
    void UnmuteAll();
    BOOL IsMuted(int channel) const;
    BOOL AnyMuted() const;
    // The channel soloed now, -1 for none.
    int SoloChannel() const { return m_soloChannel; }
    // The channels muted before the solo began (bit 0 the first).
    std::uint32_t MutedBeforeSolo() const { return m_beforeSolo; }

    void SetMetronome(BOOL on);
    BOOL MetronomeOn() const;

private:
    void SetLoopPoint(LONGLONG& point, LONGLONG tick);
    void PublishLoop();
    std::uint32_t MutedChannels() const;
    void ApplyMutes(std::uint32_t channels);

    CPlayerState& m_state;
    CMetronome& m_metronome;
    LONGLONG m_loopStart { -1 };
    LONGLONG m_loopEnd { -1 };
    BOOL m_loopOn { FALSE };
    int m_soloChannel { -1 };
    // The channels muted before the solo began.
    std::uint32_t m_beforeSolo { 0 };
};
