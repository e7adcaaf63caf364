#include "midiout/CMixerValues.h"

#include <charconv>
#include <string_view>

namespace {

using Channels = std::array<std::int32_t, CMixerValues::CHANNELS>;

bool IsChannel(int channel)
{
    return channel >= 0 && channel < CMixerValues::CHANNELS;
}

// A whole decimal number within low..high, the text nothing else.
bool ReadNumber(std::string_view text, std::int32_t low, std::int32_t high, std::int32_t& out)
{
    std::int32_t value = 0;
    auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || rest != text.data() + text.size() || value < low || value > high)
        return false;
    out = value;
    return true;
}

// Sixteen comma-separated numbers; "-" stands for dash where dash is not 0.
bool ReadList(std::string_view text, std::int32_t low, std::int32_t high, std::int32_t dash, Channels& out)
{
    Channels values {};
    for (int n = 0; n < CMixerValues::CHANNELS; ++n) {
        const size_t comma = text.find(',');
        const bool last = n == CMixerValues::CHANNELS - 1;
        if (last != (comma == std::string_view::npos))
            return false;
        const std::string_view item = text.substr(0, comma);
        if (item == "-" && dash != 0)
            values[static_cast<size_t>(n)] = dash;
        else if (!ReadNumber(item, low, high, values[static_cast<size_t>(n)]))
            return false;
        text.remove_prefix(last ? text.size() : comma + 1);
    }
    out = values;
    return true;
}

std::string WriteList(const Channels& values)
{
    std::string text;
    for (std::int32_t value : values) {
        if (!text.empty())
            text += ',';
        text += value < 0 ? std::string("-") : std::to_string(value);
    }
    return text;
}

// "minus-one:CH" or "emphasis:CH:LEVEL".
bool ReadFocus(std::string_view text, CMixerValues& values)
{
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return false;
    const std::string_view kind = text.substr(0, colon);
    const std::string_view rest = text.substr(colon + 1);
    const size_t second = rest.find(':');
    if (kind == "minus-one") {
        values.focus = CMixerValues::FOCUS_MINUS_ONE;
        return second == std::string_view::npos && ReadNumber(rest, 0, CMixerValues::CHANNELS - 1, values.focusChannel);
    }
    values.focus = CMixerValues::FOCUS_EMPHASIS;
    return kind == "emphasis" && second != std::string_view::npos
        && ReadNumber(rest.substr(0, second), 0, CMixerValues::CHANNELS - 1, values.focusChannel)
        && ReadNumber(rest.substr(second + 1), 0, CMixerValues::FULL_VOLUME, values.emphasisLevel);
}

}

CMixerValues::CMixerValues()
{
    volume.fill(FULL_VOLUME);
    pan.fill(PAN_AS_SONG);
}

std::int32_t CMixerValues::Scale(int channel) const
{
    if (!IsChannel(channel))
        return 1000;
    const std::int32_t own = volume[static_cast<size_t>(channel)];
    if (focus == FOCUS_MINUS_ONE && channel == focusChannel)
        return 0;
    if (focus == FOCUS_EMPHASIS)
        return channel == focusChannel ? 1000 : own * emphasisLevel / 10;
    return own * 10;
}

std::int32_t CMixerValues::Pan(int channel) const
{
    return IsChannel(channel) ? pan[static_cast<size_t>(channel)] : PAN_AS_SONG;
}

bool CMixerValues::IsNeutral() const
{
    const CMixerValues defaults;
    return focus == FOCUS_NONE && volume == defaults.volume && pan == defaults.pan;
}

bool CMixerValues::ToggleFocus(std::int32_t kind, int channel)
{
    const bool on = IsChannel(channel) && !(focus == kind && focusChannel == channel);
    focus = on ? kind : FOCUS_NONE;
    focusChannel = on ? channel : -1;
    return on;
}

void CMixerValues::Emphasize(int channel, int level)
{
    if (ToggleFocus(FOCUS_EMPHASIS, channel))
        emphasisLevel = level < 0 ? 0 : level > FULL_VOLUME ? FULL_VOLUME : level;
}

void CMixerValues::MinusOne(int channel)
{
    ToggleFocus(FOCUS_MINUS_ONE, channel);
}

std::string CMixerValues::ToText() const
{
    const CMixerValues defaults;
    std::string text;
    auto add = [&](const std::string& item) { text += (text.empty() ? "" : ";") + item; };
    if (volume != defaults.volume)
        add("vol=" + WriteList(volume));
    if (pan != defaults.pan)
        add("pan=" + WriteList(pan));
    if (focus == FOCUS_MINUS_ONE)
        add("focus=minus-one:" + std::to_string(focusChannel));
    else if (focus == FOCUS_EMPHASIS)
        add("focus=emphasis:" + std::to_string(focusChannel) + ":" + std::to_string(emphasisLevel));
    // The level chosen for the next emphasis is kept without one running.
    if (focus != FOCUS_EMPHASIS && emphasisLevel != defaults.emphasisLevel)
        add("level=" + std::to_string(emphasisLevel));
    return text;
}

bool CMixerValues::FromText(const std::string& text, CMixerValues& out)
{
    if (text.size() > MAX_TEXT)
        return false;
    CMixerValues values;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find(';');
        const std::string_view item = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos)
            return false;
        const std::string_view key = item.substr(0, equals);
        const std::string_view value = item.substr(equals + 1);
        bool read = false;
        if (key == "vol")
            read = ReadList(value, 0, FULL_VOLUME, 0, values.volume);
        else if (key == "pan")
            read = ReadList(value, 0, 127, PAN_AS_SONG, values.pan);
        else if (key == "focus")
            read = ReadFocus(value, values);
        else if (key == "level")
            read = ReadNumber(value, 0, FULL_VOLUME, values.emphasisLevel);
        if (!read)
            return false;
    }
    out = values;
    return true;
}
