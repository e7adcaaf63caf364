#pragma once

#include "app/CViewWindow.h"
#include "skin/CPianoKeys.h"

#include <array>
#include <bitset>
#include <cstdint>

// A piano keyboard of the notes the song uses with the keys that sound lit
// (CPianoKeys): the keys as the player sent them, transposed, each in the
// colour the channel meters give its velocity; a muted part's keys show
// dimmed, as its meter bar does. Above it the channel to watch (all but the
// drum channel, or one channel) and how many keys: the song's range, 61
// keys or more, 88 keys (A0 to C8) or all 128.
class CKeyboardWindow : public CViewWindow {
public:
    enum : int {
        IDC_CHANNEL = 1001,
        IDC_KEYS = 1002,
    };
    // The keyboard lies below the two lists.
    static constexpr int kKeysTop = 40;

    CKeyboardWindow(CTabrinoDlg& player, CViewSettings& settings);

    // The notes of the player's new song.
    void SongChanged();
    // Shows the keys that sound now; paints only the keys that change.
    void Refresh();
    // The channel watched: -1 for all but the drum channel, else 0..15.
    void SetChannel(int channel);
    int Channel() const { return m_channel; }
    // 61 (the song's range, 61 keys or more), 88 or 128.
    void SetKeys(int keys);

    const CPianoKeys& Keys() const { return m_keys; }
    // The keys first..last the keyboard shows for notes the channels use
    // (one bit a note) in the mode of keys.
    static void KeyRange(const std::bitset<128>& notes, int keys, int& first, int& last);

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void Layout() override;
    void PaintAll(CDC* dc) override;
    RECT DefaultPlace(const RECT& player, LONG width, LONG height) const override;

private:
    // Whether the channel is watched under the filter.
    bool Watched(int channel) const;
    // One bit for each muted channel.
    std::uint32_t MutedChannels() const;
    // The colour a key shows now; kUnlit when no watched channel sounds it.
    COLORREF KeyColour(int key) const;

    CViewSettings& m_settings;
    CPianoKeys m_keys;
    int m_channel { -1 };
    // The notes each channel's Note Ons use, as the file has them; found
    // when the window first shows a song.
    std::array<std::bitset<128>, 16> m_songNotes;
    bool m_notesFound { false };
    // The meters' colour for each velocity.
    std::array<COLORREF, 128> m_colours {};
    // What the keys were last drawn from: the output's count of changes,
    // the muted channels, the transposition and the drum channel.
    std::uint32_t m_changes { 0 };
    std::uint32_t m_muted { 0 };
    int m_transpose { 0 };
    int m_drum { -1 };
};
