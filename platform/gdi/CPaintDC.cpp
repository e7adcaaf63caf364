#include "platform/gdi/CPaintDC.h"

#include "platform/ui/CWnd.h"
#include "platform/ui/WindowHandle.h"

CPaintDC::CPaintDC(CWnd* wnd)
    : m_hWnd(wnd ? wnd->m_hWnd : nullptr)
{
    // Painting validates the window when it begins, so anything invalidated
    // while the handler draws is painted again later.
    if (IsWindow(m_hWnd)) {
        // Sent by UpdateWindow, the window is valid already and the part it
        // paints is kept aside.
        m_ps.rcPaint = m_hWnd->needsPaint ? m_hWnd->invalid : m_hWnd->paintRect;
        m_hWnd->needsPaint = false;
        m_hWnd->invalid = { 0, 0, 0, 0 };
    }
    Attach(GetDC(m_hWnd));
    m_ps.hdc = m_hDC;
}

CPaintDC::~CPaintDC()
{
    if (m_hDC)
        ReleaseDC(m_hWnd, Detach());
}
