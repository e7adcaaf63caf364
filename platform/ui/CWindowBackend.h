#pragma once

#include "platform/core/CString.h"

#include <vector>

// What a window needs from whatever shows it on a screen. A window without a
// backend is headless: it keeps its pixels and queue, and nothing is shown.
class CWindowBackend {
public:
    virtual ~CWindowBackend() = default;
    // A message was posted to the window; called on the posting thread.
    virtual void Wake() = 0;
    // Part of the client area must be repainted (WM_ERASEBKGND, WM_PAINT).
    virtual void Invalidate(const RECT& area, bool erase) = 0;
    // Pixels of the client surface were drawn through a client DC.
    virtual void SurfaceChanged(const RECT& area) = 0;
    virtual void SetTitle(const CString& title) = 0;
    virtual void SetCapture(bool captured) = 0;
    virtual void Center() = 0;
    // Keyboard focus moves to this window.
    virtual void SetFocus() { }
    // WM_SETICON: the window's big (title, task bar) or small icon.
    virtual void SetIcon(HICON icon, bool big) { }
    // A list control's items and its selection (-1 for none) changed.
    virtual void SetList(const std::vector<CString>& items, int selection) { }
    // DragAcceptFiles: files dropped on the window reach it as WM_DROPFILES.
    virtual void AcceptFiles(bool accept) { }
    // The window's next timer is due in delay milliseconds (INFINITE: none
    // runs); the backend then calls PostDueTimers.
    virtual void ScheduleTimers(DWORD delay) { }
    // Screen pixels to client pixels; a headless window's client area lies
    // at the screen's origin.
    virtual POINT ScreenToClient(POINT screen) const { return screen; }
    // A skinned window shown at another zoom; returns the zoom shown (0: it
    // cannot change).
    virtual int SetZoom(int zoom) { return 0; }

    // ShowWindow, EnableWindow, MoveWindow and SetWindowFullScreen: the
    // window's handle already holds the new state (WindowPlacement.h).
    virtual void Show(bool show, bool activate) { }
    virtual void Enable(bool enable) { }
    virtual void Move(const RECT& rect) { }
    virtual void SetFullScreen(bool fullScreen) { }
    // Where a top-level window's client area lies on the screen now (the
    // user may have moved it); false when only the handle knows.
    virtual bool WindowRect(RECT& rect) const { return false; }
    // A control's state changed through one of its messages (LB_INSERTSTRING
    // with the index in wParam, TBM_SETPOS, ...): the widget shows it.
    virtual void ControlChanged(UINT message, WPARAM wParam) { }
    // The window's handle is being destroyed; posts to it have stopped.
    virtual void Destroyed() { }
};
