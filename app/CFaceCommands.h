#pragma once

#include "platform/core/WinTypes.h"
#include "platform/ui/Menu.h"

class CMeterMap;
class CTabrinoDlg;

// The keys, the context menu and the meter clicks of the main dialog: each
// becomes a command (FaceCommands.h) run on the dialog's transport and
// practice tools. It holds nothing of its own; the dialog owns everything.
class CFaceCommands {
public:
    explicit CFaceCommands(CTabrinoDlg& dialog);

    // Runs a command beyond the face's buttons; FALSE for an id it does not
    // know.
    BOOL Run(WORD id);
    // WM_KEYDOWN: the key table's command; a key the keyboard repeats
    // repeats only the steps (tempo, transposition, position).
    BOOL OnKeyDown(UINT key, LPARAM flags);
    // WM_CONTEXTMENU at a screen position: shows the menu and runs the
    // entry chosen.
    void OnContextMenu(int x, int y);
    // WM_MOUSEWHEEL at a screen position: over the tempo or transpose box,
    // one step per notch.
    void OnMouseWheel(short delta, int x, int y);
    // A click on a channel's meter bar: mute or unmute it; with Ctrl, solo.
    void OnMeterClick(int channel, UINT flags);
    // The context menu as it stands now; the caller destroys it.
    HMENU BuildMenu() const;
    // Shows the loop and the muted channels on the face.
    void ShowPractice();

    // The same beat `bars` bars away, or else the start of the beat `beats`
    // beats away, within 0..length.
    static LONGLONG StepPosition(const CMeterMap& meter, LONGLONG tick, LONGLONG length, int bars, int beats);

private:
    void Step(int bars, int beats);
    // Emphasis and Minus one (a channel each), the mixer's reset and the
    // practice track export.
    void AppendMixMenus(HMENU menu) const;
    CTabrinoDlg& m_dialog;
};
