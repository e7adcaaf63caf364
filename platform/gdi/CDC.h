#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"

// A device context. A DC made by CreateCompatibleDC (or attached) is deleted
// with the object; CClientDC and CPaintDC release their window DC instead.
class CDC : public CObject {
public:
    CDC() = default;
    ~CDC() override;

    HDC m_hDC { nullptr };

    HDC GetSafeHdc() const { return m_hDC; }
    BOOL Attach(HDC dc);
    HDC Detach();

    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();

    // Each returns the object selected before, or null on failure.
    CBitmap* SelectObject(CBitmap* bitmap);
    CFont* SelectObject(CFont* font);

    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop);
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF GetPixel(POINT p) const { return ::GetPixel(m_hDC, p.x, p.y); }
    COLORREF SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }
    void FillRect(LPCRECT rect, CBrush* brush);
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FrameRect(LPCRECT rect, CBrush* brush)
    {
        if (brush)
            ::FrameRect(m_hDC, rect, brush->GetBrush());
    }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format) { return ::DrawTextW(m_hDC, text, count, rect, format); }
    int DrawText(const CString& text, LPRECT rect, UINT format) { return DrawText(text, text.GetLength(), rect, format); }
    SIZE GetTextExtent(const CString& text) const
    {
        SIZE size { 0, 0 };
        ::GetTextExtentPoint32W(m_hDC, text, text.GetLength(), &size);
        return size;
    }
};
