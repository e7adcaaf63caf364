#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The user's metronome: its loudness, its click sound (a pair of drum keys,
// one for the first beat of a bar and one for the others) and, in compound
// meters (6/8, 9/8, 12/8), whether it clicks every eighth instead of the
// dotted quarter. The count-in clicks the same way.
struct CMetronomeSettings {
    enum Sound : int { SIDE_STICK, CLAVES, WOOD_BLOCK, COWBELL, BEEP, SOUND_COUNT };
    static constexpr int MIN_VOLUME = 5;
    static constexpr int MAX_VOLUME = 100;

    int volume { MAX_VOLUME };
    Sound sound { SIDE_STICK };
    bool compoundEighths { false };

    // The drum keys of a sound; its name in the settings and on the command
    // line, and as the menus show it.
    static std::uint8_t AccentKey(Sound sound);
    static std::uint8_t BeatKey(Sound sound);
    static const char* SoundName(Sound sound);
    static const char* SoundTitle(Sound sound);
    // A sound by its name; FALSE when there is none of that name.
    static bool SoundByName(std::string_view name, Sound& sound);
    // The two velocities at this volume (127 and 63 at full volume).
    std::uint8_t AccentVelocity() const;
    std::uint8_t BeatVelocity() const;

    // "volume=80 sound=claves eighths=0"
    std::string ToText() const;
    // FALSE, and the value left as it was, for a text that is not one.
    bool FromText(std::string_view text);
    bool operator==(const CMetronomeSettings&) const = default;
};
