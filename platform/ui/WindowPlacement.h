#pragma once

#include "platform/core/WinTypes.h"

// Showing, enabling, placing and sizing windows. Every window keeps what was
// set in its handle, headless too; a backend shows it. Coordinates are
// pixels: for a top-level window those of its client area on the screen
// (the frame the desktop draws lies around it, so a rectangle read back and
// set again restores the window exactly, whatever the frame), for a child
// control those of its parent's client area.

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_SHOWNA 8
#define SW_RESTORE 9

// Sent after a window's client area changed its size: lParam holds the new
// width and height; the whole client area is then invalid.
#define WM_SIZE 0x0005
#define SIZE_RESTORED 0

struct WINDOWPLACEMENT {
    UINT length;
    UINT flags;
    // SW_HIDE or SW_SHOWNORMAL.
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    // Where the window is, or returns to when it leaves full screen.
    RECT rcNormalPosition;
};

// Nonzero when the window was visible before.
BOOL ShowWindow(HWND hwnd, int command);
// The window and every parent it has are shown.
BOOL IsWindowVisible(HWND hwnd);
// Nonzero when the window was disabled before. A disabled control takes no
// input and sends no notification.
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
HWND GetParent(HWND hwnd);

// The window's rectangle in screen pixels (a child's through its parents).
BOOL GetWindowRect(HWND hwnd, LPRECT rect);
// A new place and size; a window whose size changes is sent WM_SIZE and
// invalidated. Moving a full-screen window changes where it returns to.
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
// Moves the window to rcNormalPosition and shows or hides it by showCmd.
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);
BOOL ClientToScreen(HWND hwnd, LPPOINT point);

// This platform's own: a top-level window covers the whole screen without
// a frame, or returns to where it was. No key is bound to it; the window's
// own key handling (Escape, say) calls it back.
BOOL SetWindowFullScreen(HWND hwnd, BOOL fullScreen);
BOOL IsWindowFullScreen(HWND hwnd);

// Dialog units to pixels: two pixels each way, headless and on screen.
constexpr int kPixelsPerDialogUnit = 2;
BOOL MapDialogRect(HWND hwnd, LPRECT rect);

// The window backend reports the client size the user gave a window: its
// surface takes that size, the window is sent WM_SIZE and all of it is
// invalid. Nothing happens when the size is the surface's already.
void ResizeClient(HWND hwnd, int width, int height);
