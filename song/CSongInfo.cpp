#include "song/CSongInfo.h"

#include "song/CRing.h"
#include "song/CTrack.h"

CSongInfo CSongInfo::FromTracks(const CTrack* tracks)
{
    CSongInfo info;
    CRing::ForEach(tracks, [&info](const CTrack* track) {
        // The loader never stores a tempo of 0, so the division is safe.
        if (track->m_tempo > 0)
            info.m_bpm = static_cast<std::int32_t>(60000000u / static_cast<DWORD>(track->m_tempo));
        LONGLONG last = track->GetLastTick();
        if (last > info.m_length)
            info.m_length = last;
    });
    return info;
}
