#include "player/CPositionText.h"

#include "platform/core/FormatString.h"

CString CPositionText::BarBeatTick(LONGLONG tick, LONGLONG ppqn)
{
    if (ppqn <= 0)
        ppqn = 384;
    LONGLONG quarters = tick / ppqn;
    LONGLONG bar = quarters / 4;
    LONGLONG rest = tick % ppqn;
    CString text;
    FormatString(text, L"%d.%d.%03d", static_cast<int>(bar + 1), static_cast<int>(quarters - 4 * bar + 1),
        static_cast<int>(rest));
    return text;
}

CString CPositionText::Time(LONGLONG tick, LONGLONG ppqn, LONGLONG usPerQuarter)
{
    if (ppqn <= 0)
        ppqn = 384;
    auto tenths = static_cast<std::int32_t>((tick * usPerQuarter / ppqn) / 100000);
    std::int32_t hours = tenths / 36000;
    CString text;
    FormatString(text, L"%02d:%02d:%02d,%d", hours, tenths / 600 - 60 * hours, tenths / 10 - 60 * (tenths / 600),
        tenths % 10);
    return text;
}
