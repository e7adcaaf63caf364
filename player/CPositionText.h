#pragma once

#include "platform/core/CString.h"

class CMeterMap;
class CTempoMap;

// The two readouts of a song position: bar.beat.tick ("2.1.000", from the
// song's time signatures) and time ("00:01:00,0", along the song's tempo map
// at the user's tempo). The numbers go as far as the song does: a readout
// box too narrow for them shortens them (CSkinText).
class CPositionText {
public:
    static CString BarBeatTick(LONGLONG tick, const CMeterMap& meter);
    static CString Time(LONGLONG tick, const CTempoMap& tempo, LONGLONG ppqn, LONGLONG userTempo);
};
