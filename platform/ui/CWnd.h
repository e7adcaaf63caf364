#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CWindowBackend;

// A window object. Its handle m_hWnd is null until a window is created for
// it: headless (CreateHeadless, for tests and tools) or on screen by the
// window backend. Messages reach it through WindowProc.
class CWnd : public CObject {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd { nullptr };

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The window procedure: dispatches a message to the object's handlers.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // What is done with a message nobody handled.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    void GetClientRect(LPRECT rect) const;
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void Invalidate(BOOL erase = TRUE) { InvalidateRect(nullptr, erase); }
    void SetWindowText(LPCWSTR text);
    CString GetWindowText() const;
    CWnd* SetCapture();
    void CenterWindow(CWnd* alternateOwner = nullptr);
    CWnd* SetFocus();

    // Gives the object a window that is not shown: its pixels and message
    // queue work, posts wait until DispatchPostedMessages runs them.
    BOOL CreateHeadless(int width, int height);
    // Creates the handle with the given backend (null = headless).
    BOOL CreateHandle(int width, int height, CWindowBackend* backend);
    void DestroyHandle();
};
