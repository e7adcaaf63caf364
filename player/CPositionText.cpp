#include "player/CPositionText.h"

#include "platform/core/FormatString.h"
#include "song/CMeterMap.h"
#include "song/CTempoMap.h"

#include <algorithm>
#include <cstdint>

namespace {

int Shown(LONGLONG value)
{
    return static_cast<int>(std::clamp<LONGLONG>(value, 0, INT32_MAX));
}

}

CString CPositionText::BarBeatTick(LONGLONG tick, const CMeterMap& meter)
{
    const CMeterMap::Position at = meter.At(tick);
    CString text;
    FormatString(text, L"%d.%d.%03d", Shown(at.bar + 1), Shown(at.beat + 1), Shown(at.tick));
    return text;
}

CString CPositionText::Time(LONGLONG tick, const CTempoMap& tempo, LONGLONG ppqn, LONGLONG userTempo)
{
    const int tenths = Shown(tempo.MicrosAt(tick, ppqn, userTempo) / 100000);
    const int hours = tenths / 36000;
    CString text;
    FormatString(text, L"%02d:%02d:%02d,%d", hours, tenths / 600 - 60 * hours, tenths / 10 - 60 * (tenths / 600),
        tenths % 10);
    return text;
}
