#include "player/CPracticeOptions.h"

#include "player/CPositionText.h"
#include "player/CPractice.h"
#include "song/CMeterMap.h"

#include <charconv>

namespace {

// Larger counts are no bar, beat or channel of any song.
constexpr long long kLargest = 1000000000;

// A whole number 1..kLargest that makes up the whole text.
bool ParseCount(std::string_view text, long long& value)
{
    const char* end = text.data() + text.size();
    auto [rest, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && rest == end && !text.empty() && value >= 1 && value <= kLargest;
}

bool ParseChannel(std::string_view text, int& channel)
{
    long long value = 0;
    if (!ParseCount(text, value) || value > 16)
        return false;
    channel = static_cast<int>(value - 1);
    return true;
}

}

BOOL CPracticeOptions::SetLoop(const std::string& text, const CMeterMap& meter, LONGLONG length)
{
    struct Point {
        long long bar { 0 };
        long long beat { 1 };
    };
    auto parsePoint = [](std::string_view part, Point& point) {
        const size_t dot = part.find('.');
        if (dot == std::string_view::npos)
            return ParseCount(part, point.bar);
        return ParseCount(part.substr(0, dot), point.bar) && ParseCount(part.substr(dot + 1), point.beat);
    };
    const size_t dash = text.find('-');
    Point from;
    Point to;
    if (dash == std::string::npos || !parsePoint(std::string_view(text).substr(0, dash), from)
        || !parsePoint(std::string_view(text).substr(dash + 1), to)) {
        m_error = "--loop takes bars (5-9) or bar.beat (5.3-9.1), not \"" + text + "\"";
        return FALSE;
    }
    LONGLONG ticks[2] {};
    const Point* points[2] { &from, &to };
    for (int n = 0; n < 2; ++n) {
        const Point& p = *points[n];
        const LONGLONG beats = meter.BeatsInBar(p.bar - 1);
        if (p.beat > beats) {
            m_error = "--loop: bar " + std::to_string(p.bar) + " has " + std::to_string(beats) + " beats, not "
                + std::to_string(p.beat);
            return FALSE;
        }
        ticks[n] = meter.TickOf(p.bar - 1, p.beat - 1);
    }
    if (ticks[0] >= length) {
        m_error = "--loop: " + text.substr(0, dash) + " lies past the song's end at "
            + CPositionText::BarBeatTick(length, meter).ToUtf8();
        return FALSE;
    }
    if (ticks[1] <= ticks[0]) {
        m_error = "--loop: " + text + " ends before it starts";
        return FALSE;
    }
    m_loopStart = ticks[0];
    m_loopEnd = ticks[1];
    return TRUE;
}

BOOL CPracticeOptions::AddMutes(const std::string& text)
{
    std::uint32_t channels = 0;
    std::string_view rest(text);
    for (;;) {
        const size_t comma = rest.find(',');
        int channel = 0;
        if (!ParseChannel(rest.substr(0, comma), channel)) {
            m_error = "--mute takes channels 1..16 separated by commas (2,10), not \"" + text + "\"";
            return FALSE;
        }
        channels |= 1u << channel;
        if (comma == std::string_view::npos)
            break;
        rest = rest.substr(comma + 1);
    }
    m_muted |= channels;
    return TRUE;
}

BOOL CPracticeOptions::SetSolo(const std::string& text)
{
    int channel = 0;
    if (!ParseChannel(text, channel)) {
        m_error = "--solo takes one channel 1..16, not \"" + text + "\"";
        return FALSE;
    }
    m_solo = channel;
    return TRUE;
}

BOOL CPracticeOptions::SetEmphasis(const std::string& text)
{
    const size_t comma = text.find(',');
    int channel = 0;
    long long level = CMixerValues::DEFAULT_EMPHASIS_LEVEL;
    const std::string_view view(text);
    // A level of 0 is a count the parser refuses; it is a level all the same.
    const bool levelRead = comma == std::string::npos || view.substr(comma + 1) == "0"
        ? (level = comma == std::string::npos ? level : 0, true)
        : ParseCount(view.substr(comma + 1), level) && level <= CMixerValues::FULL_VOLUME;
    if (!ParseChannel(view.substr(0, comma), channel) || !levelRead) {
        m_error = "--emphasis takes a channel 1..16 and a level 0..100 for the others (3 or 3,20), not "" + text + """;
        return FALSE;
    }
    m_mix.MinusOne(-1);
    m_mix.Emphasize(channel, static_cast<int>(level));
    return TRUE;
}

BOOL CPracticeOptions::SetMinusOne(const std::string& text)
{
    int channel = 0;
    if (!ParseChannel(text, channel)) {
        m_error = "--minus-one takes one channel 1..16, not "" + text + """;
        return FALSE;
    }
    m_mix.MinusOne(-1);
    m_mix.MinusOne(channel);
    return TRUE;
}

void CPracticeOptions::ApplyTo(CPractice& practice) const
{
    for (int n = 0; n < 16; ++n) {
        if (m_muted & (1u << n))
            practice.SetMuted(n, TRUE);
    }
    // A solo already on that channel (a remembered one) stays on.
    if (m_solo >= 0 && practice.SoloChannel() != m_solo)
        practice.ToggleSolo(m_solo);
    if (HasLoop())
        practice.SetLoop(m_loopStart, m_loopEnd);
}
