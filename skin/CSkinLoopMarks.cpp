#include "skin/CSkinLoopMarks.h"

#include "platform/gdi/CBrush.h"

#include <algorithm>

CSkinLoopMarks::CSkinLoopMarks()
{
    m_kind = SKIN_LOOP_MARKS;
}

BOOL CSkinLoopMarks::SetLoop(LONGLONG start, LONGLONG end, LONGLONG length, BOOL on)
{
    on = on ? TRUE : FALSE;
    if (start != m_start || end != m_end || length != m_length || on != m_on) {
        m_start = start;
        m_end = end;
        m_length = length;
        m_on = on;
        m_bDirty = TRUE;
    }
    return m_bDirty;
}

BOOL CSkinLoopMarks::Shown() const
{
    return (m_start >= 0 || m_end >= 0) && m_length > 0 ? TRUE : FALSE;
}

int CSkinLoopMarks::ColumnOf(LONGLONG tick) const
{
    const LONGLONG span = m_rect.right - 1 - m_rect.left;
    const LONGLONG clamped = std::clamp<LONGLONG>(tick, 0, std::max<LONGLONG>(m_length, 1));
    // Ticks of a damaged song may be huge; the product stays in range.
    const double share = static_cast<double>(clamped) / static_cast<double>(std::max<LONGLONG>(m_length, 1));
    return m_rect.left + static_cast<int>(share * static_cast<double>(span));
}

void CSkinLoopMarks::Draw(CDC* composite, CDC*, CDC* skin)
{
    skin->SelectObject(m_pNormal);
    composite->BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, skin,
        m_rect.left, m_rect.top, SRCCOPY);
    if (Shown()) {
        if (m_on && m_start >= 0 && m_end >= 0) {
            const int a = ColumnOf(std::min(m_start, m_end));
            const int b = ColumnOf(std::max(m_start, m_end));
            CBrush span(kSpan);
            const RECT between { a + 1, m_rect.top, b, m_rect.top + kSpanRows };
            composite->FillRect(&between, &span);
        }
        CBrush mark(kMark);
        for (LONGLONG point : { m_start, m_end }) {
            if (point < 0)
                continue;
            const int x = ColumnOf(point);
            const RECT line { x, m_rect.top, x + 1, m_rect.bottom };
            composite->FillRect(&line, &mark);
        }
    }
    m_bDirty = FALSE;
}
