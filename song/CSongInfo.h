#pragma once

#include "platform/core/WinTypes.h"

class CTrack;

// The length of a loaded song as the open command shows it, taken from
// whatever tracks the load left in the ring.
class CSongInfo {
public:
    // Walks the ring once from its head (null for no tracks).
    static CSongInfo FromTracks(const CTrack* tracks);

    // The largest last-event tick over all tracks; 0 without tracks.
    LONGLONG m_length { 0 };
};
