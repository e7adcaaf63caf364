#pragma once

#include "platform/core/WinTypes.h"

#include <cstdint>

class CMidiEvent;

// What a load finds in a file besides its tracks: the timing of its header
// and first tempo, its SMPTE offset, and for each MIDI channel whether the
// song uses it and which of its events first name it, set its program and
// its volume. The loader writes it; the player state takes it over with the
// song. The event links point into the song's tracks and own nothing.
class CSongFacts {
public:
    struct Channel {
        BOOL m_used { 0 };
        CMidiEvent* m_nameEvent { nullptr };
        CMidiEvent* m_instrumentEvent { nullptr };
        CMidiEvent* m_programEvent { nullptr };
        CMidiEvent* m_volumeEvent { nullptr };
    };

    // Ticks per quarter note. For SMPTE timing, where the file counts ticks
    // of frames, a quarter note stands for a second of frames: the ticks of
    // a second (of thirty frames at 29.97 frames a second, 1.001 s).
    LONGLONG m_ppqn { 384 };
    // SMPTE timing: frames per second (29 stands for 29.97); 0 for ticks
    // per quarter note.
    LONGLONG m_framesPerSecond { 0 };
    // Microseconds per quarter note: the first tempo of the last track that
    // has one; without one the Standard MIDI File's 120 beats per minute.
    // For SMPTE timing the length of a second of frames, whatever tempo
    // events say.
    LONGLONG m_usPerQuarter { 500000 };
    // The fractional-frames byte of the last SMPTE offset event; what the
    // record held before when the file has none.
    LONGLONG m_smpteOffset { 0 };
    // The hash of the file's bytes (ContentHash), the key of its memory.
    std::uint64_t m_contentHash { 0 };
    Channel m_channels[16];
};
