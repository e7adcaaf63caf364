#pragma once

#include "platform/core/WinTypes.h"

class CMidiEvent;

// The pitch bend in force on each channel at a point of the song: the last
// bend event before it. The all-off of a cut recentres every bend, so the
// replay after it sends this one bend per channel again, and no other.
class CLastBends {
public:
    // Offers a pitch bend of the song. Offered track by track in ring order,
    // each in file order, the later of two bends wins; at the same tick the
    // one of the later track, whose batch goes out last in a period.
    void Offer(const CMidiEvent* event);
    // TRUE when the event is the bend kept for its channel.
    BOOL IsKept(const CMidiEvent* event) const;

    static BOOL IsBend(const CMidiEvent* event);

private:
    // Not owned: events of the song's tracks.
    const CMidiEvent* m_kept[16] {};
};
