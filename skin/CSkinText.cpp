#include "skin/CSkinText.h"

CSkinText::CSkinText()
{
    m_kind = SKIN_TEXT;
}

void CSkinText::Draw(CDC* composite, CDC*, CDC* skin)
{
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    skin->SelectObject(m_pBackground);
    composite->BitBlt(m_rect.left, m_rect.top, width, height, skin, m_rect.left, m_rect.top, SRCCOPY);
    CFont* oldFont = composite->SelectObject(m_pFont);
    const int oldMode = composite->SetBkMode(TRANSPARENT);
    const COLORREF oldColor = composite->SetTextColor(m_color);
    RECT rect = m_rect;
    composite->DrawText(m_strText, m_strText.GetLength(), &rect, m_nFormat);
    if (oldFont)
        composite->SelectObject(oldFont);
    composite->SetBkMode(oldMode);
    composite->SetTextColor(oldColor);
    m_bDirty = FALSE;
}

BOOL CSkinText::SetText(CString text)
{
    if (text != m_strText) {
        m_strText = text;
        m_bDirty = TRUE;
    }
    return m_bDirty;
}
