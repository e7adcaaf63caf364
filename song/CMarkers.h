#pragma once

#include "platform/core/WinTypes.h"

#include <string>
#include <vector>

class CTrack;

// The song's own places: its Marker (FF 06) and Cue Point (FF 07) events in
// tick order, their names decoded as the words are (the encoding given, or
// the one judged over all names together). Control characters are dropped
// and names are cut at MAX_NAME characters; a song with more than
// MAX_MARKERS keeps the first ones.
class CMarkers {
public:
    static constexpr size_t MAX_MARKERS = 10000;
    static constexpr size_t MAX_NAME = 80;

    struct Marker {
        LONGLONG tick;
        std::wstring name;
        bool cue;
    };

    void Build(const CTrack* tracks, const std::string& encoding);
    void Clear() { m_markers.clear(); }
    const std::vector<Marker>& Items() const { return m_markers; }
    // The first marker after tick, and the last before it; -1 for none.
    int Next(LONGLONG tick) const;
    int Previous(LONGLONG tick) const;
    // The first marker named name (exactly, then ignoring case); -1 for none.
    int Find(const std::wstring& name) const;

private:
    std::vector<Marker> m_markers;
};
