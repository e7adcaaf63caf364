#pragma once

#include <string>
#include <string_view>

// How many bars of clicks come before the music: at play and resume, and,
// when beforeEachPass is set, before every pass of the A-B loop.
struct CCountInSettings {
    static constexpr int MAX_BARS = 2;

    int bars { 0 };
    bool beforeEachPass { false };

    bool On() const { return bars > 0; }
    // "bars=1 pass=0"
    std::string ToText() const;
    // FALSE, and the value left as it was, for a text that is not one.
    bool FromText(std::string_view text);
    bool operator==(const CCountInSettings&) const = default;
};
