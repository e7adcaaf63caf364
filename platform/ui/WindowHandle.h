#pragma once

#include "platform/core/CString.h"
#include "platform/ui/CPixelBuffer.h"

#include <deque>
#include <mutex>
#include <vector>

class CWnd;
class CWindowBackend;

// The state behind an HWND: the object it belongs to, its client pixels,
// its title, its pending repaint and its queue of posted messages. Handles
// live in a registry, so a post to a destroyed window fails instead of
// touching freed memory.
struct HWND__ {
    CWnd* wnd { nullptr };
    CWindowBackend* backend { nullptr };
    CPixelBuffer surface;
    CString title;
    RECT invalid { 0, 0, 0, 0 };
    // The part UpdateWindow is painting now (CPaintDC's rcPaint).
    RECT paintRect { 0, 0, 0, 0 };
    bool needsPaint { false };
    bool needsErase { false };
    // WM_SETICON: [ICON_SMALL] and [ICON_BIG].
    HICON icons[2] { nullptr, nullptr };

    // What ShowWindow, EnableWindow and MoveWindow set (WindowPlacement.h),
    // kept headless too. A child control has its parent; rect is then in the
    // parent's client pixels, otherwise the client area's screen pixels.
    HWND parent { nullptr };
    RECT rect { 0, 0, 0, 0 };
    bool visible { false };
    bool enabled { true };
    // The surface follows the window's size; controls the backend draws
    // (all but the owner-drawn ones) keep none.
    bool sizedSurface { true };
    bool fullScreen { false };
    // Where a full-screen window returns to.
    RECT normalRect { 0, 0, 0, 0 };

    std::mutex queueLock;
    std::deque<MSG> queue;

    // SetTimer: each timer's id, period and the tick count it is due at.
    // Used on the window's thread only.
    struct Timer {
        std::uintptr_t id;
        DWORD period;
        DWORD due;
    };
    std::vector<Timer> timers;
};

// Creates a handle for the window object with a client area of the given
// size; the backend may be null (headless).
HWND CreateWindowHandle(CWnd* wnd, int width, int height, CWindowBackend* backend);
// Tells the backend (Destroyed) once posts to the window have stopped.
void DestroyWindowHandle(HWND hwnd);
BOOL IsWindow(HWND hwnd);
// Gives a live window another backend (null: headless from now on), safely
// against posts from other threads.
void SetWindowBackend(HWND hwnd, CWindowBackend* backend);

// Posts from any thread. FALSE when the handle is not a live window. A
// control's messages are queued (and dispatched) with its dialog's.
BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Queues count messages for hwnd and wakes its window once, after the last:
// messages meant to be handled together arrive in one dispatch (and one
// repaint), never split by a wake that comes between them.
BOOL PostMessagesW(HWND hwnd, const MSG* messages, size_t count);
// Calls the window's procedure directly, on the caller's thread.
LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Removes the oldest posted message; FALSE when the queue is empty.
BOOL TakePostedMessage(HWND hwnd, MSG* msg);
// Dispatches every message queued now (and those its handlers post) on the
// calling thread, which must be the window's thread. Returns the count.
int DispatchPostedMessages(HWND hwnd);

BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase);
BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
CString GetWindowTextString(HWND hwnd);
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
// The window with the keyboard focus (one of this program's windows).
HWND SetFocus(HWND hwnd);
HWND GetFocus();

// Screen coordinates (WM_CONTEXTMENU, WM_MOUSEWHEEL) to the window's client
// coordinates.
BOOL ScreenToClient(HWND hwnd, LPPOINT point);

// Sends WM_ERASEBKGND and WM_PAINT when the window has an invalid area.
// The drawing services define it; the window backend calls it to paint.
BOOL UpdateWindow(HWND hwnd);
