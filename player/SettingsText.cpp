#include "player/SettingsText.h"

#include <charconv>

namespace SettingsText {

bool ForEachField(std::string_view text, const std::function<bool(std::string_view, std::string_view)>& field)
{
    if (text.size() > MAX_TEXT)
        return false;
    while (!text.empty()) {
        const size_t space = text.find(' ');
        const std::string_view item = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (item.empty())
            continue;
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos || !field(item.substr(0, equals), item.substr(equals + 1)))
            return false;
    }
    return true;
}

bool ParseInt(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& value)
{
    std::int64_t parsed = 0;
    const char* end = text.data() + text.size();
    auto [rest, error] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || error != std::errc() || rest != end || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool ParseInt(std::string_view text, int low, int high, int& value)
{
    std::int64_t parsed = 0;
    if (!ParseInt(text, static_cast<std::int64_t>(low), static_cast<std::int64_t>(high), parsed))
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseFlag(std::string_view text, bool& value)
{
    int parsed = 0;
    if (!ParseInt(text, 0, 1, parsed))
        return false;
    value = parsed != 0;
    return true;
}

}
