#include "player/CCountInSettings.h"

#include "player/SettingsText.h"

std::string CCountInSettings::ToText() const
{
    return "bars=" + std::to_string(bars) + " pass=" + (beforeEachPass ? "1" : "0");
}

bool CCountInSettings::FromText(std::string_view text)
{
    CCountInSettings read;
    const bool taken = SettingsText::ForEachField(text, [&](std::string_view key, std::string_view value) {
        if (key == "bars")
            return SettingsText::ParseInt(value, 0, MAX_BARS, read.bars);
        if (key == "pass")
            return SettingsText::ParseFlag(value, read.beforeEachPass);
        return true;
    });
    if (taken)
        *this = read;
    return taken;
}
