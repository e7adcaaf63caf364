#pragma once

#include <string>
#include <string_view>

// The speed trainer of the A-B loop: the loop starts at fromPercent of the
// song's tempo and goes up by stepPercent every passesPerStep passes until
// it reaches toPercent, where it stays.
struct CSpeedTrainerSettings {
    static constexpr int MIN_PERCENT = 10;
    static constexpr int MAX_PERCENT = 400;
    static constexpr int MAX_PASSES = 100;

    bool on { false };
    int fromPercent { 70 };
    int toPercent { 100 };
    int stepPercent { 5 };
    int passesPerStep { 2 };

    // The percentage for a pass, counted from 0 at the start of the loop.
    int PercentForPass(long long pass) const;

    // "FROM,TO,STEP,PASSES" as the command line gives it (70,100,5,2): FALSE,
    // with the reason in error and the value left as it was, for a text
    // that is not one. Switches the trainer on.
    bool FromArgument(std::string_view text, std::string& error);
    // "on=1 from=70 to=100 step=5 passes=2"
    std::string ToText() const;
    // FALSE, and the value left as it was, for a text that is not one.
    bool FromText(std::string_view text);
    bool operator==(const CSpeedTrainerSettings&) const = default;

private:
    bool Valid() const;
};
