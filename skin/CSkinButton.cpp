#include "skin/CSkinButton.h"

#include "skin/CSkinDialog.h"
#include "platform/ui/WindowHandle.h"

CSkinButton::CSkinButton()
{
    m_kind = SKIN_BUTTON;
}

void CSkinButton::Draw(CDC* composite, CDC* work, CDC* skin)
{
    DrawMasked(composite, work, skin, m_rect, POINT { m_rect.left, m_rect.top }, m_bPressed ? m_pPressed : m_pNormal,
        m_pMask);
    m_bDirty = FALSE;
}

BOOL CSkinButton::OnStylusDown(UINT, int x, int y, CDC* probe)
{
    return HitMask(probe, m_pMask, m_rect, x, y);
}

BOOL CSkinButton::OnStylusMove(UINT, int x, int y, CDC* probe)
{
    const BOOL hit = HitMask(probe, m_pMask, m_rect, x, y);
    if (hit != m_bPressed) {
        m_bPressed = hit;
        m_bDirty = TRUE;
    }
    return m_bDirty;
}

BOOL CSkinButton::OnStylusUp(UINT, int, int, CDC*)
{
    // The moves kept the pressed flag current: a lift off the shape posts
    // nothing.
    if (m_bPressed) {
        m_bPressed = FALSE;
        m_bDirty = TRUE;
        HWND hwnd = m_pParent ? m_pParent->m_hWnd : nullptr;
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(LOWORD(m_nId), 0), reinterpret_cast<LPARAM>(hwnd));
    }
    return m_bDirty;
}
