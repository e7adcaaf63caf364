#pragma once

#include "app/CViewSettings.h"
#include "platform/ui/CDialog.h"

class CDC;
class CTabrinoDlg;

// A window beside the player that shows the song as it plays (the lyrics,
// the keyboard): modeless, sizeable, drawn by its own code, opened and
// closed by a key of the player and placed where it was last time. Keys it
// does not take itself are the player's (Space plays and stops from here
// too); Escape closes it, Enter does nothing. It reads what it shows on the
// player's own refresh, never on a timer of its own.
class CViewWindow : public CDialog {
public:
    // templateText is the window's template (CDialogTemplate); placement is
    // where the settings keep the window's place.
    CViewWindow(CTabrinoDlg& player, CViewSettings::Placement& placement, const char* templateText);
    ~CViewWindow() override;

    // Shows the window, made the first time, where it was kept; activate
    // moves the keyboard focus to it.
    void Open(BOOL activate);
    // Hides it; it stays closed at the next start.
    void Close();
    BOOL IsOpen() const { return m_hWnd && IsWindowVisible() ? TRUE : FALSE; }
    // Keeps the window's place (its place outside full screen) and whether
    // it is open in the settings.
    void KeepPlacement();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override { Close(); }
    void OnOK() override { }

protected:
    // The client area was sized, or the window shown: lay out what it
    // shows (a hidden window is not kept up to date).
    virtual void Layout() = 0;
    // Paints the client area whole.
    virtual void PaintAll(CDC* dc) = 0;
    // Where the window first opens, beside the player's window (screen
    // pixels of the client areas; the backend keeps it on the screen).
    virtual RECT DefaultPlace(const RECT& player, LONG width, LONG height) const = 0;
    // A key for the window itself; FALSE hands it to the player.
    virtual BOOL OnViewKey(UINT key, BOOL control) { return FALSE; }

    CTabrinoDlg& m_player;
    CViewSettings::Placement& m_placement;

private:
    const char* m_templateText;
};
