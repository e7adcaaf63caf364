#include "platform/gdi/CDC.h"

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::Attach(HDC dc)
{
    if (!dc || m_hDC)
        return FALSE;
    m_hDC = dc;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC dc = m_hDC;
    m_hDC = nullptr;
    return dc;
}

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    if (m_hDC)
        return FALSE;
    return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr));
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    if (!bitmap || !bitmap->m_hObject)
        return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, bitmap->m_hObject);
    return previous ? static_cast<CBitmap*>(previous->wrapper) : nullptr;
}

CFont* CDC::SelectObject(CFont* font)
{
    if (!font || !font->m_hObject)
        return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, font->m_hObject);
    return previous ? static_cast<CFont*>(previous->wrapper) : nullptr;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop)
{
    return ::BitBlt(m_hDC, x, y, width, height, src ? src->m_hDC : nullptr, xSrc, ySrc, rop);
}

void CDC::FillRect(LPCRECT rect, CBrush* brush)
{
    if (brush)
        ::FillRect(m_hDC, rect, brush->GetBrush());
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color)
{
    CBrush brush(color);
    FillRect(rect, &brush);
}
