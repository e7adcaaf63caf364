#pragma once

#include "app/CViewSettings.h"
#include "app/CViewWindow.h"

// The playlist as a window beside the player (Ctrl+L): a song a line, its
// title (else its file's name) and length, the current one in bold and
// those that could not be read marked. A double-click (or Enter) plays a
// song, a drag moves it, Delete removes it, files dropped on it are added.
// Its place and whether it is open are kept in the registry value
// "PlaylistWindow" (as "LyricsWindow" is).
class CPlaylistWindow : public CViewWindow {
public:
    enum : int { IDC_SONGS = 10 };

    explicit CPlaylistWindow(CTabrinoDlg& player);

    void Toggle();
    // Shows the list anew when it changed (the player's refresh).
    void Refresh();
    // The kept place: read at start-up (the window opens when it was
    // open), written at close.
    void Restore();
    void Save();

    // A line of the list: "3. Title<tab>2:05".
    static CString LineText(int number, const CString& title, LONGLONG micros, bool failed);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void Layout() override;
    void PaintAll(CDC* dc) override;
    RECT DefaultPlace(const RECT& player, LONG width, LONG height) const override;

private:
    CViewSettings::Placement m_place;
    CString m_loadedPlace;
    unsigned m_shown { ~0u };
};
