#pragma once

#include "app/CViewWindow.h"
#include "skin/CLyricsView.h"
#include "song/CLyrics.h"

// The song's words for singing along (CLyricsView), beside the player or
// full screen for a stage: F11 or a double click goes full screen and back,
// Escape leaves full screen (and closes the window otherwise), Ctrl++ and
// Ctrl+- size the words. The right-click menu has these and the encoding of
// the words: judged from the words, or one chosen from a list.
class CLyricsWindow : public CViewWindow {
public:
    // The menu's commands (WM_COMMAND), the encodings numbered from
    // ID_ENCODING_FIRST in the order of CTextEncoding::Choices().
    enum : WORD {
        ID_LARGER = 100,
        ID_SMALLER,
        ID_FULL_SCREEN,
        ID_CLOSE,
        ID_ENCODING_FIRST = 200,
    };

    CLyricsWindow(CTabrinoDlg& player, CViewSettings& settings);

    // Takes the words of the player's song anew (a new song, or another
    // encoding).
    void SongChanged();
    // Shows the place the player's song has reached; paints only the lines
    // that change.
    void Refresh();
    void SetFontSize(int size);
    void SetEncoding(const std::string& encoding);
    void ToggleFullScreen();

    const CLyrics& Lyrics() const { return m_lyrics; }
    const CLyricsView& View() const { return m_view; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void Layout() override;
    void PaintAll(CDC* dc) override;
    BOOL OnViewKey(UINT key, BOOL control) override;
    RECT DefaultPlace(const RECT& player, LONG width, LONG height) const override;

private:
    void OnContextMenu(int x, int y);

    CViewSettings& m_settings;
    CLyrics m_lyrics;
    CLyricsView m_view;
    // The words are taken when the window shows.
    bool m_songPending { true };
};
