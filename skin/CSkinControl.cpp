#include "skin/CSkinControl.h"

CRing::Counter CSkinControl::s_serial { 0 };

CSkinControl::CSkinControl()
{
    CRing::Init(this, s_serial);
}

CSkinControl::~CSkinControl()
{
    CRing::Unlink(this);
}

void CSkinControl::Draw(CDC*, CDC*, CDC*)
{
    m_bDirty = FALSE;
}

BOOL CSkinControl::OnStylusDown(UINT, int, int, CDC*)
{
    return FALSE;
}

BOOL CSkinControl::OnStylusUp(UINT, int, int, CDC*)
{
    return FALSE;
}

BOOL CSkinControl::OnStylusMove(UINT, int, int, CDC*)
{
    return FALSE;
}

void CSkinControl::DrawMasked(CDC* composite, CDC* work, CDC* skin, const RECT& dest, POINT src, CBitmap* image,
    CBitmap* mask)
{
    const int width = dest.right - dest.left;
    const int height = dest.bottom - dest.top;
    // Cut a hole of the shape into the composite, keep only the shape of the
    // image on the work bitmap, then lay the one into the other.
    skin->SelectObject(mask);
    composite->BitBlt(dest.left, dest.top, width, height, skin, src.x, src.y, SRCAND);
    skin->SelectObject(image);
    work->BitBlt(dest.left, dest.top, width, height, skin, src.x, src.y, SRCCOPY);
    skin->SelectObject(mask);
    work->BitBlt(dest.left, dest.top, width, height, skin, src.x, src.y, 0x00220326u);
    composite->BitBlt(dest.left, dest.top, width, height, work, dest.left, dest.top, SRCPAINT);
}

BOOL CSkinControl::HitMask(CDC* probe, CBitmap* mask, const RECT& rect, int x, int y)
{
    if (!probe || !PtInRect(&rect, POINT { x, y }))
        return FALSE;
    CBitmap* previous = probe->SelectObject(mask);
    const COLORREF pixel = probe->GetPixel(x, y);
    if (previous)
        probe->SelectObject(previous);
    return pixel == 0 ? TRUE : FALSE;
}
