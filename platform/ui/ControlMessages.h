#pragma once

#include "platform/core/WinTypes.h"
#include "platform/gdi/GdiHandles.h"

// The messages, notifications and structures of the dialog controls beyond
// EDIT and COMBOBOX: BUTTON (check boxes, radio buttons, group boxes),
// STATIC (owner-drawn), LISTBOX, trackbar and progress bar. Template styles
// are named as the system names them (BS_AUTOCHECKBOX, LBS_NOTIFY, TBS_VERT).

#define TRACKBAR_CLASS L"msctls_trackbar32"
#define PROGRESS_CLASS L"msctls_progress32"

#define WM_DRAWITEM 0x002B
#define WM_VKEYTOITEM 0x002E
#define WM_NOTIFY 0x004E
#define WM_HSCROLL 0x0114
#define WM_VSCROLL 0x0115
#define WM_LBUTTONDBLCLK 0x0203

// WM_NOTIFY's lParam points at a structure that starts with this.
struct NMHDR {
    HWND hwndFrom;
    std::uintptr_t idFrom;
    UINT code;
};

// Buttons: WM_COMMAND with BN_CLICKED when the user clicks one (or BM_CLICK).
// An auto check box toggles itself; an auto radio button checks itself and
// clears the radio buttons of its group (from a control with WS_GROUP to the
// next one with WS_GROUP, in template order). BS_PUSHLIKE shows a check box
// as a button that stays down. A group box only frames and names.
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define BN_CLICKED 0

// STATIC with SS_OWNERDRAW: its client area is pixels the dialog draws on
// WM_DRAWITEM (wParam the id, lParam a DRAWITEMSTRUCT) whenever the control
// is painted (InvalidateRect on the control, then UpdateWindow or the
// screen). With SS_NOTIFY a click sends STN_CLICKED, a double click
// STN_DBLCLK.
#define STN_CLICKED 0
#define STN_DBLCLK 1
#define ODT_STATIC 5
#define ODA_DRAWENTIRE 0x0001
#define ODS_DISABLED 0x0004

struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    std::uintptr_t itemData;
};

// List boxes. LBS_NOTIFY: LBN_SELCHANGE when the user selects another item,
// LBN_DBLCLK on a double click. LBS_USETABSTOPS: a tab in an item's text
// starts the next column, at the stops set by LB_SETTABSTOPS (dialog units,
// default every 32). LBS_WANTKEYBOARDINPUT: each key pressed in the list is
// offered to the dialog first as WM_VKEYTOITEM (wParam: the virtual key and,
// in the high word, the selected item; lParam the list): the dialog answers
// -2 (done), -1 (the list's own action) or an item to select.
#define LB_ADDSTRING 0x0180
#define LB_INSERTSTRING 0x0181
#define LB_DELETESTRING 0x0182
#define LB_RESETCONTENT 0x0184
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_SETTABSTOPS 0x0192
#define LB_GETITEMDATA 0x0199
#define LB_SETITEMDATA 0x019A
#define LB_ERR (-1)
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2

// This system's own list box additions. LB_SETMARKEDITEM shows one item (the
// song playing, say) in bold; wParam -1 for none. With LBS_DRAGREORDER the
// user drags items to other places: the list moves the item itself (its
// text, data, selection and mark go with it) and sends WM_NOTIFY with
// LBN_ITEMMOVED and an NMLBITEMMOVED, once for each place it passes.
#define LB_SETMARKEDITEM (WM_USER + 0x100)
#define LB_GETMARKEDITEM (WM_USER + 0x101)
#define LBN_ITEMMOVED (0u - 2900u)

struct NMLBITEMMOVED {
    NMHDR hdr;
    int iFrom;
    int iTo;
};

// Trackbars (TRACKBAR_CLASS): a range (default 0 to 100) and a position
// kept in it. While the user moves the thumb the dialog is sent WM_HSCROLL
// (WM_VSCROLL with TBS_VERT, where the minimum is at the top): LOWORD of
// wParam the TB_ code, HIWORD the position for TB_THUMBTRACK and
// TB_THUMBPOSITION, lParam the trackbar. Each move ends with TB_ENDTRACK.
#define TBM_GETPOS WM_USER
#define TBM_GETRANGEMIN (WM_USER + 1)
#define TBM_GETRANGEMAX (WM_USER + 2)
#define TBM_SETPOS (WM_USER + 5)
#define TBM_SETRANGE (WM_USER + 6)
#define TBM_SETRANGEMIN (WM_USER + 7)
#define TBM_SETRANGEMAX (WM_USER + 8)
#define TBM_SETPAGESIZE (WM_USER + 21)
#define TBM_GETPAGESIZE (WM_USER + 22)
#define TB_LINEUP 0
#define TB_LINEDOWN 1
#define TB_PAGEUP 2
#define TB_PAGEDOWN 3
#define TB_THUMBPOSITION 4
#define TB_THUMBTRACK 5
#define TB_TOP 6
#define TB_BOTTOM 7
#define TB_ENDTRACK 8

// Progress bars (PROGRESS_CLASS): a range (default 0 to 100) and a
// position kept in it.
#define PBM_SETRANGE (WM_USER + 1)
#define PBM_SETPOS (WM_USER + 2)
#define PBM_DELTAPOS (WM_USER + 3)
#define PBM_SETRANGE32 (WM_USER + 6)
#define PBM_GETRANGE (WM_USER + 7)
#define PBM_GETPOS (WM_USER + 8)

struct PBRANGE {
    int iLow;
    int iHigh;
};
