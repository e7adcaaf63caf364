#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/ui/WindowPlacement.h"

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

    // WindowPlacement.h on the window's handle.
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE)
    {
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
    }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const { return ::GetWindowPlacement(m_hWnd, placement); }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement) { return ::SetWindowPlacement(m_hWnd, placement); }
    // Paints the invalid part of the window now.
    void UpdateWindow();

    // Gives the object a window that is not shown: its pixels and message
    // queue work, posts wait until DispatchPostedMessages runs them.
    BOOL CreateHeadless(int width, int height);
    // Creates the handle with the given backend (null = headless).
    BOOL CreateHandle(int width, int height, CWindowBackend* backend);
    void DestroyHandle();
};
