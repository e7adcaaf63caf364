#pragma once

#include "app/CKeyboardWindow.h"
#include "app/CLyricsWindow.h"
#include "app/CMixerWindow.h"
#include "app/CViewSettings.h"

class CTabrinoDlg;

// The player's views of the song beside its face: the lyrics, keyboard and
// mixer windows with their settings. The player opens and closes them with
// a command each (ID_LYRICS_WINDOW, ID_KEYBOARD_WINDOW, ID_MIXER_WINDOW),
// tells them of
// a new song and lets them follow at every refresh of its readouts.
class CSongViews {
public:
    explicit CSongViews(CTabrinoDlg& player);

    // Reads the settings and opens the windows that were open at the last
    // close, where they were, without taking the focus from the player.
    void Restore();
    // Keeps where the windows are and whether they are open, with the other
    // settings, in the registry.
    void Save();
    // Ends the windows (the player closes).
    void Destroy();
    void SongChanged();
    void Refresh();
    // Opens the command's window, or closes it when it is open.
    void Toggle(WORD command);
    BOOL IsOpen(WORD command) const;

    CViewSettings m_settings;
    CLyricsWindow m_lyrics;
    CKeyboardWindow m_keyboard;
    CMixerWindow m_mixer;
};
