#pragma once

#include "platform/core/CString.h"

// The two readouts of a song position: bar.beat.tick ("2.1.000", a bar is
// always four quarters) and time ("00:01:00,0", at the tempo in force now
// for the whole distance from tick 0).
class CPositionText {
public:
    static CString BarBeatTick(LONGLONG tick, LONGLONG ppqn);
    static CString Time(LONGLONG tick, LONGLONG ppqn, LONGLONG usPerQuarter);
};
