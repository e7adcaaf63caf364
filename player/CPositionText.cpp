#include "player/CPositionText.h"

#include "platform/core/FormatString.h"
#include "song/CMeterMap.h"
#include "song/CTempoMap.h"

#include <algorithm>
#include <cstdint>

namespace {

// Never negative, and one short of the largest, so that counting from 1
// cannot overflow.
LONGLONG Shown(LONGLONG value)
{
    return std::clamp<LONGLONG>(value, 0, INT64_MAX - 1);
}

}

CString CPositionText::BarBeatTick(LONGLONG tick, const CMeterMap& meter)
{
    const CMeterMap::Position at = meter.At(tick);
    CString text;
    FormatString(text, L"%I64d.%I64d.%03I64d", Shown(at.bar) + 1, Shown(at.beat) + 1, Shown(at.tick));
    return text;
}

CString CPositionText::Time(LONGLONG tick, const CTempoMap& tempo, LONGLONG ppqn, LONGLONG userTempo)
{
    const LONGLONG tenths = Shown(tempo.MicrosAt(tick, ppqn, userTempo) / 100000);
    const LONGLONG hours = tenths / 36000;
    CString text;
    FormatString(text, L"%02I64d:%02I64d:%02I64d,%I64d", hours, tenths / 600 - 60 * hours,
        tenths / 10 - 60 * (tenths / 600), tenths % 10);
    return text;
}
