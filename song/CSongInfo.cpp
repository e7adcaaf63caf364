#include "song/CSongInfo.h"

#include "song/CRing.h"
#include "song/CTrack.h"

CSongInfo CSongInfo::FromTracks(const CTrack* tracks)
{
    CSongInfo info;
    CRing::ForEach(tracks, [&info](const CTrack* track) {
        LONGLONG last = track->GetLastTick();
        if (last > info.m_length)
            info.m_length = last;
    });
    return info;
}
