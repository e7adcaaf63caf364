#pragma once

#include "platform/core/CString.h"

#include <functional>

// Pop-up menus: built with CreatePopupMenu and AppendMenuW, shown with
// TrackPopupMenu. A menu owns its sub-menus (MF_POPUP); DestroyMenu frees
// the whole tree.
struct HMENU__;
using HMENU = HMENU__*;

#define MF_STRING 0x0000u
#define MF_GRAYED 0x0001u
#define MF_CHECKED 0x0008u
#define MF_POPUP 0x0010u
#define MF_SEPARATOR 0x0800u

#define TPM_RETURNCMD 0x0100u

HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
// For MF_POPUP, id is the sub-menu (cast to UINT_PTR), which the menu then
// owns. The text may carry a tab: what follows it is the shortcut shown at
// the right edge.
BOOL AppendMenuW(HMENU menu, UINT flags, std::uintptr_t id, LPCWSTR text);

// Reading a menu back, as the backend that shows it does: -1 for no menu.
int GetMenuItemCount(HMENU menu);
// The command id of an item; 0 for a separator, -1 (all bits) for a
// sub-menu or a position out of range.
UINT GetMenuItemID(HMENU menu, int position);
// The item's MF_ flags; -1 (all bits) out of range.
UINT GetMenuState(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
CString GetMenuText(HMENU menu, int position);

// Shows the menu with its top left corner at (x, y) in screen pixels and
// waits for a choice. With TPM_RETURNCMD it returns the chosen command (0
// for none); otherwise it posts WM_COMMAND with the command to owner and
// returns whether one was chosen. Without a backend that shows menus
// nothing is chosen.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, LPCRECT ignored);

// What shows a menu and answers the chosen command (0 for none); installed
// by the window backend, and by tests that choose an entry themselves.
// Returns the runner it replaces.
using PopupMenuRunner = std::function<UINT(HMENU menu, int x, int y, HWND owner)>;
PopupMenuRunner SetPopupMenuRunner(PopupMenuRunner runner);
