#include "skin/CSkinBadge.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"

CSkinBadge::CSkinBadge()
{
    m_kind = SKIN_BADGE;
}

BOOL CSkinBadge::SetText(const CString& text)
{
    if (text != m_strText) {
        m_strText = text;
        m_bDirty = TRUE;
    }
    return m_bDirty;
}

void CSkinBadge::Draw(CDC* composite, CDC*, CDC* skin)
{
    skin->SelectObject(m_pNormal);
    composite->BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, skin,
        m_rect.left, m_rect.top, SRCCOPY);
    if (!m_strText.IsEmpty()) {
        CBrush band(kBand);
        // The corners stay the skin's: the band reads as a label, not a box.
        const RECT inner { m_rect.left + 1, m_rect.top, m_rect.right - 1, m_rect.bottom };
        const RECT edges { m_rect.left, m_rect.top + 1, m_rect.right, m_rect.bottom - 1 };
        composite->FillRect(&inner, &band);
        composite->FillRect(&edges, &band);
        CFont* oldFont = m_pFont ? composite->SelectObject(m_pFont) : nullptr;
        const int oldMode = composite->SetBkMode(TRANSPARENT);
        const COLORREF oldColor = composite->SetTextColor(kText);
        RECT rect = m_rect;
        composite->DrawText(m_strText, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (oldFont)
            composite->SelectObject(oldFont);
        composite->SetBkMode(oldMode);
        composite->SetTextColor(oldColor);
    }
    m_bDirty = FALSE;
}
