#include "platform/ui/CTrackBarControl.h"

#include "platform/ui/Keyboard.h"

#include <algorithm>

LRESULT CTrackBarControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case TBM_GETPOS:
        return m_pos;
    case TBM_GETRANGEMIN:
        return m_min;
    case TBM_GETRANGEMAX:
        return m_max;
    case TBM_SETPOS:
        SetPos(static_cast<int>(lParam));
        return 0;
    case TBM_SETRANGE:
        SetRange(static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam))),
            static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(lParam))));
        return 0;
    case TBM_SETRANGEMIN:
        SetRange(static_cast<int>(lParam), m_max);
        return 0;
    case TBM_SETRANGEMAX:
        SetRange(m_min, static_cast<int>(lParam));
        return 0;
    case TBM_SETPAGESIZE: {
        const int previous = m_page;
        m_page = std::max(1, static_cast<int>(lParam));
        Changed(TBM_SETPAGESIZE);
        return previous;
    }
    case TBM_GETPAGESIZE:
        return m_page;
    case WM_KEYDOWN:
        return KeyByUser(static_cast<UINT>(wParam)) ? 0 : 1;
    default:
        return CDialogControl::WindowProc(message, wParam, lParam);
    }
}

void CTrackBarControl::SetRange(int min, int max)
{
    m_min = min;
    m_max = std::max(min, max);
    m_pos = std::clamp(m_pos, m_min, m_max);
    // A page is a fifth of the range again.
    m_page = std::max(1, (m_max - m_min) / 5);
    Changed(TBM_SETRANGE);
}

void CTrackBarControl::SetPos(int pos)
{
    m_pos = std::clamp(pos, m_min, m_max);
    Changed(TBM_SETPOS);
}

void CTrackBarControl::ScrollByUser(int code, int pos)
{
    if (!TakesInput())
        return;
    SetPos(pos);
    Scroll(code, m_pos);
    if (code != TB_THUMBTRACK && code != TB_ENDTRACK)
        Scroll(TB_ENDTRACK, m_pos);
}

void CTrackBarControl::Scroll(int code, int pos)
{
    // Only the thumb's own codes carry the position.
    const bool withPos = code == TB_THUMBTRACK || code == TB_THUMBPOSITION;
    SendToParent(IsVertical() ? WM_VSCROLL : WM_HSCROLL,
        MAKEWPARAM(static_cast<WORD>(code), withPos ? static_cast<WORD>(pos) : 0), reinterpret_cast<LPARAM>(m_hWnd));
}

bool CTrackBarControl::KeyByUser(UINT key)
{
    switch (key) {
    case VK_LEFT:
    case VK_UP: ScrollByUser(TB_LINEUP, m_pos - 1); return true;
    case VK_RIGHT:
    case VK_DOWN: ScrollByUser(TB_LINEDOWN, m_pos + 1); return true;
    case VK_PRIOR: ScrollByUser(TB_PAGEUP, m_pos - m_page); return true;
    case VK_NEXT: ScrollByUser(TB_PAGEDOWN, m_pos + m_page); return true;
    case VK_HOME: ScrollByUser(TB_TOP, m_min); return true;
    case VK_END: ScrollByUser(TB_BOTTOM, m_max); return true;
    default: return false;
    }
}
