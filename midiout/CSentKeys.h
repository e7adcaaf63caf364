#pragma once

#include "platform/core/WinTypes.h"

#include <atomic>
#include <cstdint>

// The keys that sound on each channel as the output stage sent them:
// transposed, and including the Note Ons a mute held back, so that a
// muted part still shows what it plays. A Note On lights its key with its
// velocity, a Note Off (or a Note On of velocity 0) puts it out, and what
// silences a channel on the wire (all notes off) puts out its keys. The
// output stage writes on whichever thread sends; a view reads on its own.
class CSentKeys {
public:
    CSentKeys();

    // A Note On with velocity (1..127), or a Note Off with velocity 0.
    void Note(int channel, int key, int velocity);
    void ClearChannel(int channel);
    void Clear();
    // The velocity the key was struck with, 0 while it is silent.
    BYTE Velocity(int channel, int key) const
    {
        return m_velocity[channel & 0x0F][key & 0x7F].load(std::memory_order_relaxed);
    }
    // Counts the changes: a reader that finds the count it saw before
    // finds the keys it saw before.
    std::uint32_t Changes() const { return m_changes.load(std::memory_order_acquire); }

private:
    void Changed() { m_changes.fetch_add(1, std::memory_order_release); }

    std::atomic<BYTE> m_velocity[16][128];
    std::atomic<std::uint32_t> m_changes { 0 };
};
