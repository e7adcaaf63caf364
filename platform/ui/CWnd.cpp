#include "platform/ui/CWnd.h"

#include "platform/ui/CWindowBackend.h"
#include "platform/ui/WindowHandle.h"

CWnd::~CWnd()
{
    DestroyHandle();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT, WPARAM, LPARAM)
{
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
