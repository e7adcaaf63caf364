#include "player/CMetronomeSettings.h"

#include "player/SettingsText.h"

namespace {

struct SoundKeys {
    const char* name;
    const char* title;
    std::uint8_t accent;
    std::uint8_t beat;
};

// General MIDI drum keys; the beep is the metronome bell and click that GS
// and XG drum sets add below the General MIDI range.
constexpr SoundKeys kSounds[CMetronomeSettings::SOUND_COUNT] = {
    { "side-stick", "Side stick", 37, 37 },
    { "claves", "Claves", 75, 75 },
    { "wood-block", "Wood block", 76, 77 },
    { "cowbell", "Cowbell", 56, 56 },
    { "beep", "Beep", 34, 33 },
};

const SoundKeys& Keys(CMetronomeSettings::Sound sound)
{
    const int n = sound >= 0 && sound < CMetronomeSettings::SOUND_COUNT ? sound : 0;
    return kSounds[n];
}

}

std::uint8_t CMetronomeSettings::AccentKey(Sound sound)
{
    return Keys(sound).accent;
}

std::uint8_t CMetronomeSettings::BeatKey(Sound sound)
{
    return Keys(sound).beat;
}

const char* CMetronomeSettings::SoundName(Sound sound)
{
    return Keys(sound).name;
}

const char* CMetronomeSettings::SoundTitle(Sound sound)
{
    return Keys(sound).title;
}

bool CMetronomeSettings::SoundByName(std::string_view name, Sound& sound)
{
    for (int n = 0; n < SOUND_COUNT; ++n) {
        if (name == kSounds[n].name) {
            sound = static_cast<Sound>(n);
            return true;
        }
    }
    return false;
}

std::uint8_t CMetronomeSettings::AccentVelocity() const
{
    return static_cast<std::uint8_t>((127 * volume + MAX_VOLUME / 2) / MAX_VOLUME);
}

std::uint8_t CMetronomeSettings::BeatVelocity() const
{
    // Never 0, which would end a click instead of sounding one.
    const int velocity = (63 * volume + MAX_VOLUME / 2) / MAX_VOLUME;
    return static_cast<std::uint8_t>(velocity < 1 ? 1 : velocity);
}

std::string CMetronomeSettings::ToText() const
{
    return "volume=" + std::to_string(volume) + " sound=" + SoundName(sound) + " eighths="
        + (compoundEighths ? "1" : "0");
}

bool CMetronomeSettings::FromText(std::string_view text)
{
    CMetronomeSettings read;
    const bool taken = SettingsText::ForEachField(text, [&](std::string_view key, std::string_view value) {
        if (key == "volume")
            return SettingsText::ParseInt(value, MIN_VOLUME, MAX_VOLUME, read.volume);
        if (key == "sound")
            return SoundByName(value, read.sound);
        if (key == "eighths")
            return SettingsText::ParseFlag(value, read.compoundEighths);
        return true;
    });
    if (taken)
        *this = read;
    return taken;
}
