#pragma once

#include "platform/core/CString.h"

#include <string>

// What the lyrics and keyboard windows keep between runs, in the registry
// beside the drum channel (all values are text with their zero byte):
//   "LyricsWindow", "KeyboardWindow", "MixerWindow"
//                                     open (1 or 0), left, top, width and
//                                     height in screen pixels: "1 80 600 480 200"
//   "LyricsFontSize"                  the words' size in pixels, 8..400
//   "LyricsEncoding"                  the encoding forced on the words (an
//                                     iconv name of the offered list); none
//                                     or empty: judged from the words
//   "KeyboardKeys"                    61 (the song's range, 61 keys or
//                                     more), 88 or 128
// A value that does not read as one of these leaves its default.
class CViewSettings {
public:
    struct Placement {
        BOOL open { FALSE };
        // FALSE while no place was ever kept: the window opens over the
        // player.
        BOOL placed { FALSE };
        RECT rect { 0, 0, 0, 0 };
    };

    static constexpr int kDefaultFontSize = 40;
    static constexpr int kMinWindowSize = 64;
    static constexpr int kMaxWindowSize = 16384;

    void Load();
    // Writes what changed since Load, so that a second player window's
    // settings, written meanwhile, are not overwritten with values this
    // one only read. FALSE when a value could not be written.
    BOOL Save() const;

    // The placement of a text as the settings keep it; FALSE (placement
    // unchanged) for anything else.
    static BOOL ParsePlacement(const CString& text, Placement& placement);
    static CString PlacementText(const Placement& placement);
    // Keeps a window's place (outside full screen) and whether it is open.
    static void KeepPlacement(HWND window, Placement& placement);

    Placement m_lyrics;
    Placement m_keyboard;
    Placement m_mixer;
    int m_lyricsFontSize { kDefaultFontSize };
    std::string m_lyricsEncoding;
    int m_keyboardKeys { 61 };

private:
    // The texts of the values as Load found them (empty: none).
    struct Loaded {
        CString lyrics, keyboard, mixer, fontSize, encoding, keys;
    };
    Loaded Texts() const;

    Loaded m_loaded;
};
