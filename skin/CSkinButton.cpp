#include "skin/CSkinButton.h"

#include "skin/CSkinDialog.h"
#include "platform/ui/Timer.h"
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

namespace {

void PostCommand(const CSkinButton& button)
{
    HWND hwnd = button.m_pParent ? button.m_pParent->m_hWnd : nullptr;
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(LOWORD(button.m_nId), 0), reinterpret_cast<LPARAM>(hwnd));
}

}

BOOL CSkinButton::OnStylusDown(UINT, int x, int y, CDC* probe)
{
    if (!HitMask(probe, m_pMask, m_rect, x, y))
        return FALSE;
    m_bRepeated = FALSE;
    if (m_bRepeat && m_pParent)
        SetTimer(m_pParent->m_hWnd, m_nId, kRepeatDelay, nullptr);
    return TRUE;
}

void CSkinButton::OnRepeatTimer()
{
    if (!m_pParent)
        return;
    // Off the shape the repeat pauses, as the stylus may come back.
    if (m_bPressed) {
        PostCommand(*this);
        m_bRepeated = TRUE;
    }
    SetTimer(m_pParent->m_hWnd, m_nId, kRepeatPeriod, nullptr);
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
    if (m_bRepeat && m_pParent)
        KillTimer(m_pParent->m_hWnd, m_nId);
    // The moves kept the pressed flag current: a lift off the shape posts
    // nothing.
    if (m_bPressed) {
        m_bPressed = FALSE;
        m_bDirty = TRUE;
        if (!m_bRepeated)
            PostCommand(*this);
    }
    m_bRepeated = FALSE;
    return m_bDirty;
}
