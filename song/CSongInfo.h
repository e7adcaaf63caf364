#pragma once

#include "platform/core/WinTypes.h"

class CTrack;

// Tempo and length of a loaded song as the open command shows them, taken
// from whatever tracks the load left in the ring.
class CSongInfo {
public:
    // Walks the ring once from its head (null for no tracks).
    static CSongInfo FromTracks(const CTrack* tracks);

    // Beats per minute from the first tempo of the last track that has one,
    // or -1 when no track has a tempo. Not clamped to the tempo buttons' range.
    std::int32_t m_bpm { -1 };
    // The largest last-event tick over all tracks; 0 without tracks.
    LONGLONG m_length { 0 };
};
