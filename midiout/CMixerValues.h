#pragma once

#include <array>
#include <cstdint>
#include <string>

// The mixer's settings as one plain value: a volume and a pan for each
// channel, and at most one channel brought forward (emphasis) or left out
// (minus one). The output stage turns it into a scale of each channel's own
// controller 7 and a pan in place of its controller 10. Its text form keeps
// it in the settings file; reading that text trusts nothing.
struct CMixerValues {
    enum Focus : std::int32_t { FOCUS_NONE, FOCUS_EMPHASIS, FOCUS_MINUS_ONE };

    static constexpr int CHANNELS = 16;
    static constexpr int FULL_VOLUME = 100;
    // As in the song: the song's own controller 10 goes out.
    static constexpr int PAN_AS_SONG = -1;
    static constexpr int DEFAULT_EMPHASIS_LEVEL = 30;
    // Longer texts are refused unread.
    static constexpr size_t MAX_TEXT = 400;

    // Percent of the channel's own volume, 0..100.
    std::array<std::int32_t, CHANNELS> volume;
    // 0 (left) .. 127 (right), or PAN_AS_SONG.
    std::array<std::int32_t, CHANNELS> pan;
    std::int32_t focus { FOCUS_NONE };
    // The channel of the emphasis or minus one, 0..15; -1 for none.
    std::int32_t focusChannel { -1 };
    // Percent the other channels keep during an emphasis, 0..100.
    std::int32_t emphasisLevel { DEFAULT_EMPHASIS_LEVEL };

    CMixerValues();

    // What the output stage multiplies the channel's controller 7 by, in
    // thousandths (0..1000).
    std::int32_t Scale(int channel) const;
    // The pan the channel gets instead of its own, PAN_AS_SONG for its own.
    std::int32_t Pan(int channel) const;
    // TRUE when nothing differs from the song.
    bool IsNeutral() const;

    // Brings one channel forward (at full volume, whatever its fader says)
    // and the others down to level percent of theirs; the same channel
    // again, or -1, ends it.
    void Emphasize(int channel, int level);
    // Leaves one channel out; the same channel again, or -1, ends it.
    void MinusOne(int channel);

    // "vol=100,...;pan=-,...;focus=emphasis:3:30" (channels from 0); only
    // what differs from the defaults is written, so the neutral mix is "".
    std::string ToText() const;
    // The text ToText writes. Anything else (too long, a value out of its
    // range, an unknown key, a damaged list) gives false and out untouched.
    static bool FromText(const std::string& text, CMixerValues& out);

    bool operator==(const CMixerValues& other) const = default;

private:
    // Puts the focus of the kind on the channel; off when it was there
    // already or the channel is none. TRUE when it is on.
    bool ToggleFocus(std::int32_t kind, int channel);
};
