#include "platform/gdi/Gdi.h"

#include "platform/gdi/BmpDecoder.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/RasterOps.h"
#include "platform/gdi/TextRaster.h"
#include "platform/core/Resources.h"
#include "platform/ui/CWindowBackend.h"
#include "platform/ui/WindowHandle.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr std::uint32_t kRgb = 0x00FFFFFFu;

std::uint32_t ToPixel(COLORREF c)
{
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

COLORREF ToColorRef(std::uint32_t p)
{
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void Touch(HDC dc, int left, int top, int right, int bottom)
{
    if (left >= right || top >= bottom)
        return;
    auto join = [&](RECT& part) {
        part.left = std::min<LONG>(part.left, left);
        part.top = std::min<LONG>(part.top, top);
        part.right = std::max<LONG>(part.right, right);
        part.bottom = std::max<LONG>(part.bottom, bottom);
    };
    for (int n = 0; n < dc->touchedCount; ++n) {
        RECT& part = dc->touched[n];
        if (left <= part.right && part.left <= right && top <= part.bottom && part.top <= bottom)
            return join(part);
    }
    if (dc->touchedCount == HDC__::TOUCHED_PARTS)
        return join(dc->touched[HDC__::TOUCHED_PARTS - 1]);
    dc->touched[dc->touchedCount++] = RECT { left, top, right, bottom };
}

// Gives a new DC its stock bitmap and font, which SelectObject hands back
// when the caller restores the DC.
HDC NewDC()
{
    auto* dc = new HDC__;
    dc->stockBitmap = std::make_unique<CBitmap>();
    dc->stockBitmap->Attach(CreateCompatibleBitmap(nullptr, 1, 1));
    dc->stockFont = std::make_unique<CFont>();
    dc->stockFont->CreateFont(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Arial");
    dc->font = dc->stockFont->GetFont();
    dc->font->selections++;
    return dc;
}

// Sets one of a DC's colours, answering the one before.
COLORREF SetDcColor(HDC dc, COLORREF HDC__::*field, COLORREF color)
{
    if (!dc)
        return CLR_INVALID;
    const COLORREF previous = dc->*field;
    dc->*field = color & kRgb;
    return previous;
}

void Unselect(HGDIOBJ object)
{
    if (object)
        object->selections--;
}

}

HDC CreateCompatibleDC(HDC)
{
    HDC dc = NewDC();
    dc->memory = true;
    dc->bitmap = static_cast<HBITMAP>(dc->stockBitmap->m_hObject);
    dc->bitmap->selections++;
    dc->target = &dc->bitmap->pixels;
    return dc;
}

BOOL DeleteDC(HDC dc)
{
    if (!dc)
        return FALSE;
    Unselect(dc->bitmap);
    Unselect(dc->font);
    delete dc;
    return TRUE;
}

HDC GetDC(HWND hwnd)
{
    HDC dc = NewDC();
    if (IsWindow(hwnd)) {
        dc->hwnd = hwnd;
        dc->target = &hwnd->surface;
    } else {
        dc->target = &dc->ownSurface;
    }
    return dc;
}

int ReleaseDC(HWND hwnd, HDC dc)
{
    if (!dc)
        return 0;
    if (dc->touchedCount > 0 && IsWindow(hwnd) && dc->hwnd == hwnd && hwnd->backend) {
        for (int n = 0; n < dc->touchedCount; ++n)
            hwnd->backend->SurfaceChanged(dc->touched[n]);
    }
    DeleteDC(dc);
    return 1;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    if (!dc || !object)
        return nullptr;
    HGDIOBJ previous = nullptr;
    switch (object->kind) {
    case GdiKind::Bitmap:
        // Only a memory DC holds a bitmap; one bitmap is in one DC at a time.
        if (!dc->memory || (object->selections > 0 && dc->bitmap != object))
            return nullptr;
        previous = dc->bitmap;
        dc->bitmap = static_cast<HBITMAP>(object);
        dc->target = &dc->bitmap->pixels;
        break;
    case GdiKind::Font:
        previous = dc->font;
        dc->font = static_cast<HFONT>(object);
        break;
    case GdiKind::Brush:
        return nullptr;
    }
    Unselect(previous);
    object->selections++;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!object || object->selections > 0)
        return FALSE;
    delete object;
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height)
{
    if (width < 0 || height < 0 || static_cast<long long>(width) * height > (1LL << 26))
        return nullptr;
    auto* bitmap = new HBITMAP__;
    bitmap->pixels.Resize(width, height, 0);
    return bitmap;
}

HBITMAP LoadBitmapResource(int id)
{
    const EmbeddedResource* resource = FindEmbeddedResource(id, RT_BITMAP);
    if (!resource)
        return nullptr;
    auto* bitmap = new HBITMAP__;
    if (!DecodeBmp(resource->data, resource->size, bitmap->pixels)) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto* brush = new HBRUSH__;
    brush->color = color & kRgb;
    return brush;
}

HFONT CreateFontW(int height, int, int, int, int weight, DWORD italic, DWORD underline, DWORD strikeOut,
    DWORD, DWORD, DWORD, DWORD, DWORD, LPCWSTR face)
{
    auto* font = new HFONT__;
    font->height = height;
    font->weight = weight;
    font->italic = italic != 0;
    font->underline = underline != 0;
    font->strikeOut = strikeOut != 0;
    font->face = CString(face);
    return font;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop)
{
    const RasterOp* op = FindRasterOp(rop);
    if (!dest || !dest->target || !op || width < 0 || height < 0)
        return FALSE;
    if (op->usesSource && (!src || !src->target))
        return FALSE;
    CPixelBuffer& d = *dest->target;
    // Clip to the destination and, when a source is read, to the source:
    // pixels whose source lies outside the source bitmap are left alone.
    int x0 = std::max(0, -x);
    int y0 = std::max(0, -y);
    int x1 = std::min(width, d.width - x);
    int y1 = std::min(height, d.height - y);
    if (op->usesSource) {
        const CPixelBuffer& s = *src->target;
        x0 = std::max(x0, -xSrc);
        y0 = std::max(y0, -ySrc);
        x1 = std::min(x1, s.width - xSrc);
        y1 = std::min(y1, s.height - ySrc);
    }
    if (x0 >= x1 || y0 >= y1)
        return TRUE;
    const bool same = op->usesSource && src->target == dest->target;
    CPixelBuffer copy;
    const CPixelBuffer* s = op->usesSource ? src->target : nullptr;
    if (same) {
        copy = *src->target;
        s = &copy;
    }
    for (int row = y0; row < y1; ++row) {
        std::uint32_t* out = &d.At(x + x0, y + row);
        const std::uint32_t* in = s ? s->pixels.data() + static_cast<size_t>(ySrc + row) * static_cast<size_t>(s->width)
                + static_cast<size_t>(xSrc + x0)
                                    : nullptr;
        op->row(out, in, x1 - x0);
    }
    Touch(dest, x + x0, y + y0, x + x1, y + y1);
    return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    if (!dc || !dc->target || !dc->target->Contains(x, y))
        return CLR_INVALID;
    return ToColorRef(dc->target->At(x, y) & kRgb);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color)
{
    if (!dc || !dc->target || !dc->target->Contains(x, y))
        return CLR_INVALID;
    dc->target->At(x, y) = ToPixel(color);
    Touch(dc, x, y, x + 1, y + 1);
    return color & kRgb;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    if (!dc || !dc->target || !rect || !brush)
        return 0;
    CPixelBuffer& d = *dc->target;
    const int left = std::max<int>(0, rect->left);
    const int top = std::max<int>(0, rect->top);
    const int right = std::min<int>(d.width, rect->right);
    const int bottom = std::min<int>(d.height, rect->bottom);
    const std::uint32_t pixel = ToPixel(brush->color);
    for (int row = top; row < bottom; ++row)
        std::fill(&d.At(left, row), &d.At(left, row) + std::max(0, right - left), pixel);
    Touch(dc, left, top, right, bottom);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    if (!rect || rect->right <= rect->left || rect->bottom <= rect->top)
        return 0;
    const RECT& r = *rect;
    const RECT sides[] = { { r.left, r.top, r.right, r.top + 1 }, { r.left, r.bottom - 1, r.right, r.bottom },
        { r.left, r.top, r.left + 1, r.bottom }, { r.right - 1, r.top, r.right, r.bottom } };
    for (const RECT& side : sides) {
        if (!FillRect(dc, &side, brush))
            return 0;
    }
    return 1;
}

COLORREF SetTextColor(HDC dc, COLORREF color)
{
    return SetDcColor(dc, &HDC__::textColor, color);
}

int SetBkMode(HDC dc, int mode)
{
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF color)
{
    return SetDcColor(dc, &HDC__::bkColor, color);
}

int DrawTextW(HDC dc, LPCWSTR text, int length, RECT* rect, UINT format)
{
    if (!dc || !dc->target || !text || !rect)
        return 0;
    if (length < 0)
        length = static_cast<int>(std::wcslen(text));
    RECT painted { 0, 0, 0, 0 };
    int height = RasterText(*dc->target, dc->font, CString(text, length), *rect, format, ToPixel(dc->textColor),
        dc->bkMode == OPAQUE, ToPixel(dc->bkColor), &painted);
    Touch(dc, painted.left, painted.top, painted.right, painted.bottom);
    return height;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, SIZE* size)
{
    if (!dc || !text || !size || length < 0)
        return FALSE;
    *size = MeasureText(dc->font, CString(text, length));
    return TRUE;
}

BOOL PtInRect(const RECT* rect, POINT point)
{
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom;
}

BOOL UnionRect(RECT* dest, const RECT* a, const RECT* b)
{
    if (!dest || !a || !b)
        return FALSE;
    auto empty = [](const RECT* r) { return r->right <= r->left || r->bottom <= r->top; };
    if (empty(a) && empty(b)) {
        *dest = RECT { 0, 0, 0, 0 };
        return FALSE;
    }
    if (empty(a) || empty(b)) {
        *dest = empty(a) ? *b : *a;
        return TRUE;
    }
    *dest = RECT { std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
        std::max(a->bottom, b->bottom) };
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd)
{
    if (!IsWindow(hwnd) || !hwnd->wnd)
        return FALSE;
    if (!hwnd->needsPaint)
        return TRUE;
    if (hwnd->needsErase) {
        hwnd->needsErase = false;
        HDC dc = GetDC(hwnd);
        SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ReleaseDC(hwnd, dc);
    }
    // The window counts as valid from here on, whether or not its handler
    // draws; whatever the handler invalidates again is painted next time.
    hwnd->paintRect = hwnd->invalid;
    hwnd->needsPaint = false;
    hwnd->invalid = { 0, 0, 0, 0 };
    SendMessageW(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}
