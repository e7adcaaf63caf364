#include "player/CSpeedTrainerSettings.h"

#include "player/SettingsText.h"

#include <algorithm>

int CSpeedTrainerSettings::PercentForPass(long long pass) const
{
    if (pass < 0)
        pass = 0;
    const long long steps = pass / passesPerStep;
    // Counted in long long: a loop left running for days does not overflow.
    const long long percent = fromPercent + std::min<long long>(steps, MAX_PERCENT) * stepPercent;
    return static_cast<int>(std::min<long long>(percent, toPercent));
}

bool CSpeedTrainerSettings::Valid() const
{
    return fromPercent <= toPercent;
}

bool CSpeedTrainerSettings::FromArgument(std::string_view text, std::string& error)
{
    CSpeedTrainerSettings read;
    read.on = true;
    int* fields[] = { &read.fromPercent, &read.toPercent, &read.stepPercent, &read.passesPerStep };
    const int low[] = { MIN_PERCENT, MIN_PERCENT, 1, 1 };
    const int high[] = { MAX_PERCENT, MAX_PERCENT, MAX_PERCENT, MAX_PASSES };
    std::string_view rest = text;
    bool taken = text.size() <= SettingsText::MAX_TEXT;
    for (int n = 0; n < 4 && taken; ++n) {
        const size_t comma = rest.find(',');
        if ((comma == std::string_view::npos) != (n == 3)) {
            taken = false;
            break;
        }
        taken = SettingsText::ParseInt(rest.substr(0, comma), low[n], high[n], *fields[n]);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    if (!taken || !read.Valid()) {
        error = "--speed-trainer takes FROM,TO,STEP,PASSES (70,100,5,2): percentages "
            + std::to_string(MIN_PERCENT) + ".." + std::to_string(MAX_PERCENT)
            + " with FROM not above TO, a step of 1 or more and 1.." + std::to_string(MAX_PASSES)
            + " passes, not \"" + std::string(text.substr(0, 80)) + "\"";
        return false;
    }
    *this = read;
    return true;
}

std::string CSpeedTrainerSettings::ToText() const
{
    return std::string("on=") + (on ? "1" : "0") + " from=" + std::to_string(fromPercent)
        + " to=" + std::to_string(toPercent) + " step=" + std::to_string(stepPercent)
        + " passes=" + std::to_string(passesPerStep);
}

bool CSpeedTrainerSettings::FromText(std::string_view text)
{
    CSpeedTrainerSettings read;
    const bool taken = SettingsText::ForEachField(text, [&](std::string_view key, std::string_view value) {
        if (key == "on")
            return SettingsText::ParseFlag(value, read.on);
        if (key == "from")
            return SettingsText::ParseInt(value, MIN_PERCENT, MAX_PERCENT, read.fromPercent);
        if (key == "to")
            return SettingsText::ParseInt(value, MIN_PERCENT, MAX_PERCENT, read.toPercent);
        if (key == "step")
            return SettingsText::ParseInt(value, 1, MAX_PERCENT, read.stepPercent);
        if (key == "passes")
            return SettingsText::ParseInt(value, 1, MAX_PASSES, read.passesPerStep);
        return true;
    });
    if (!taken || !read.Valid())
        return false;
    *this = read;
    return true;
}
