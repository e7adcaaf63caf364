#include "skin/CSkinSlider.h"

#include "platform/ui/WindowHandle.h"
#include "skin/CSkinDialog.h"

#include <algorithm>
#include <cmath>

CSkinSlider::CSkinSlider()
{
    m_kind = SKIN_SLIDER;
}

RECT CSkinSlider::ThumbRect() const
{
    const int dx = ((m_end.x - m_start.x) * m_nValue) / 1000;
    const int dy = ((m_end.y - m_start.y) * m_nValue) / 1000;
    const int left = m_thumb.left + m_start.x + dx - m_anchor.x;
    const int top = m_thumb.top + m_start.y + dy - m_anchor.y;
    return RECT { left, top, left + (m_thumb.right - m_thumb.left), top + (m_thumb.bottom - m_thumb.top) };
}

void CSkinSlider::Draw(CDC* composite, CDC* work, CDC* skin)
{
    const RECT dest = ThumbRect();
    if (m_lastThumb.right - m_lastThumb.left != 0) {
        skin->SelectObject(m_pNormal);
        composite->BitBlt(m_lastThumb.left, m_lastThumb.top, m_lastThumb.right - m_lastThumb.left,
            m_lastThumb.bottom - m_lastThumb.top, skin, m_lastThumb.left, m_lastThumb.top, SRCCOPY);
    }
    DrawMasked(composite, work, skin, dest, POINT { m_thumb.left, m_thumb.top }, m_pPressed, m_pMask);
    m_lastThumb = dest;
    m_bDirty = FALSE;
}

RECT CSkinSlider::DrawArea() const
{
    RECT area;
    const RECT thumb = ThumbRect();
    UnionRect(&area, &m_lastThumb, &thumb);
    return area;
}

BOOL CSkinSlider::OnTrack(int x, int y) const
{
    const int halfWidth = (m_thumb.right - m_thumb.left) / 2;
    const int halfHeight = (m_thumb.bottom - m_thumb.top) / 2;
    return x >= std::min(m_start.x, m_end.x) - halfWidth && x < std::max(m_start.x, m_end.x) + halfWidth
            && y >= std::min(m_start.y, m_end.y) - halfHeight && y < std::max(m_start.y, m_end.y) + halfHeight
        ? TRUE
        : FALSE;
}

BOOL CSkinSlider::OnStylusDown(UINT flags, int x, int y, CDC* probe)
{
    if (OnThumb(x, y, probe)) {
        Notify(SLIDER_NOTIFY_DOWN);
        return TRUE;
    }
    if (!m_bTrackClick || !OnTrack(x, y))
        return FALSE;
    Notify(SLIDER_NOTIFY_DOWN);
    OnStylusMove(flags, x, y, probe);
    return TRUE;
}

BOOL CSkinSlider::OnThumb(int x, int y, CDC* probe) const
{
    const RECT dest = ThumbRect();
    if (!probe || !PtInRect(&dest, POINT { x, y }))
        return FALSE;
    RECT client { 0, 0, 0, 0 };
    if (m_pParent)
        m_pParent->GetClientRect(&client);

    // The thumb's shape is laid at its current place on a white work bitmap
    // and the pixel under the stylus is read there.
    CDC memory;
    memory.CreateCompatibleDC(probe);
    CBitmap* oldWork = memory.SelectObject(m_pWork);
    CBitmap* oldProbe = probe->SelectObject(m_pMask);
    memory.BitBlt(0, 0, client.right, client.bottom, nullptr, 0, 0, WHITENESS);
    memory.BitBlt(dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, probe, m_thumb.left,
        m_thumb.top, SRCAND);
    const COLORREF pixel = oldWork ? memory.GetPixel(x, y) : CLR_INVALID;
    if (oldWork)
        memory.SelectObject(oldWork);
    if (oldProbe)
        probe->SelectObject(oldProbe);
    memory.DeleteDC();

    return pixel == 0 ? TRUE : FALSE;
}

int CSkinSlider::ValueAt(int x, int y) const
{
    const int sx = x - m_start.x;
    const int sy = y - m_start.y;
    const int tx = m_end.x - m_start.x;
    const int ty = m_end.y - m_start.y;
    const double sLength = std::sqrt(static_cast<double>(sy * sy + sx * sx));
    const double tLength = std::sqrt(static_cast<double>(ty * ty + tx * tx));
    // A stylus exactly on the track start (or a track without length) has
    // no direction: the arc cosine would be of 0/0. Its projection is 0.
    if (sLength == 0.0 || tLength == 0.0)
        return 0;
    const double d = static_cast<double>(sy * ty + tx * sx);
    const double cosine = std::clamp(d / (tLength * sLength), -1.0, 1.0);
    const double theta = std::acos(cosine);
    const double v = ((sLength / tLength) * std::cos(theta)) * 1000.0;
    if (v <= 0.0)
        return 0;
    if (v >= 1000.0)
        return 1000;
    return static_cast<int>(v);
}

BOOL CSkinSlider::OnStylusMove(UINT, int x, int y, CDC*)
{
    const int v = ValueAt(x, y);
    if (v != m_nValue) {
        m_nValue = v;
        m_bDirty = TRUE;
        Notify(SLIDER_NOTIFY_DRAG);
    }
    return m_bDirty;
}

BOOL CSkinSlider::OnStylusUp(UINT, int, int, CDC*)
{
    Notify(SLIDER_NOTIFY_UP);
    return FALSE;
}

BOOL CSkinSlider::SetValue(int value)
{
    if (value != m_nValue) {
        m_nValue = value;
        m_bDirty = TRUE;
    }
    return m_bDirty;
}

void CSkinSlider::Notify(int code) const
{
    HWND hwnd = m_pParent ? m_pParent->m_hWnd : nullptr;
    PostMessageW(hwnd, WM_SKIN_SLIDER, m_nId,
        static_cast<LPARAM>((static_cast<DWORD>(code) << 16) | (static_cast<DWORD>(m_nValue) & 0xFFFFu)));
}
