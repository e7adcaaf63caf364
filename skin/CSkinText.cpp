#include "skin/CSkinText.h"

namespace {

constexpr int kMargin = 2;

// A readout wider than its box loses its finest fields (the ticks ".000",
// the tenths ",5", then seconds and minutes) until it fits, so its start,
// the part that says the most, is never cut. A first field too wide even
// alone shows as the bound it exceeds: ">" and the most nines that fit.
CString Fitted(CDC* dc, const CString& text, int box)
{
    // A glyph may reach a pixel beyond its advance; the text keeps clear of
    // the box's edges.
    const int width = box - 2 * kMargin;
    CString fitted = text;
    while (dc->GetTextExtent(fitted).cx > width) {
        int cut = -1;
        for (int i = fitted.GetLength() - 1; i > 0 && cut < 0; --i) {
            if (fitted[i] == L'.' || fitted[i] == L',' || fitted[i] == L':')
                cut = i;
        }
        if (cut < 0)
            break;
        fitted = fitted.Left(cut);
    }
    for (int nines = fitted.GetLength() - 1; nines > 0 && dc->GetTextExtent(fitted).cx > width; --nines)
        fitted = CString(L">") + CString(std::wstring(static_cast<size_t>(nines), L'9').c_str());
    return fitted;
}

}

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
    const CString shown = Fitted(composite, m_strText, width);
    composite->DrawText(shown, shown.GetLength(), &rect, m_nFormat);
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
