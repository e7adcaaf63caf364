#include "platform/ui/CWnd.h"

#include "platform/ui/CWindowBackend.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/WindowHandle.h"

CWnd::~CWnd()
{
    DestroyHandle();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The window keeps its icons and shows them through its backend; the
    // answer is the icon it had before.
    if (message == WM_SETICON && IsWindow(m_hWnd) && (wParam == ICON_SMALL || wParam == ICON_BIG)) {
        HICON icon = reinterpret_cast<HICON>(lParam);
        HICON previous = m_hWnd->icons[wParam];
        m_hWnd->icons[wParam] = icon;
        if (m_hWnd->backend)
            m_hWnd->backend->SetIcon(icon, wParam == ICON_BIG);
        return reinterpret_cast<LRESULT>(previous);
    }
    if (message == WM_DROPFILES)
        DragFinish(reinterpret_cast<HDROP>(wParam));
    return 0;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::GetClientRect(LPRECT rect) const
{
    if (rect && !::GetClientRect(m_hWnd, rect))
        *rect = { 0, 0, 0, 0 };
}

void CWnd::InvalidateRect(LPCRECT rect, BOOL erase)
{
    ::InvalidateRect(m_hWnd, rect, erase);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

void CWnd::SetWindowText(LPCWSTR text)
{
    SetWindowTextW(m_hWnd, text);
}

CString CWnd::GetWindowText() const
{
    return GetWindowTextString(m_hWnd);
}

CWnd* CWnd::SetCapture()
{
    HWND previous = ::SetCapture(m_hWnd);
    return previous && IsWindow(previous) ? previous->wnd : nullptr;
}

void CWnd::CenterWindow(CWnd*)
{
    if (IsWindow(m_hWnd) && m_hWnd->backend)
        m_hWnd->backend->Center();
}

CWnd* CWnd::SetFocus()
{
    HWND previous = ::SetFocus(m_hWnd);
    return previous && IsWindow(previous) ? previous->wnd : nullptr;
}

BOOL CWnd::CreateHeadless(int width, int height)
{
    return CreateHandle(width, height, nullptr);
}

BOOL CWnd::CreateHandle(int width, int height, CWindowBackend* backend)
{
    if (m_hWnd)
        return FALSE;
    m_hWnd = CreateWindowHandle(this, width, height, backend);
    return m_hWnd != nullptr;
}

void CWnd::DestroyHandle()
{
    if (m_hWnd) {
        DestroyWindowHandle(m_hWnd);
        m_hWnd = nullptr;
    }
}
