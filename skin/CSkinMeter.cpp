#include "skin/CSkinMeter.h"

#include "platform/ui/WindowHandle.h"
#include "skin/CSkinDialog.h"

#include <algorithm>

namespace {

int Clamp255(int v)
{
    return std::clamp(v, 0, 255);
}

}

CSkinMeter::CSkinMeter()
{
    m_kind = SKIN_METER;
}

void CSkinMeter::SetBarCount(int bars)
{
    bars = std::clamp(bars, 0, 0x7FFF);
    m_bars.clear();
    m_nBars = static_cast<SHORT>(bars);
    for (int i = 0; i < bars; ++i)
        m_bars.push_back(std::make_unique<CSkinMeterBar>());
    m_muted.assign(static_cast<size_t>(bars), FALSE);
}

BOOL CSkinMeter::SetMuted(int bar, BOOL muted)
{
    if (bar < 0 || bar >= m_nBars)
        return m_bDirty;
    muted = muted ? TRUE : FALSE;
    if (m_muted[static_cast<size_t>(bar)] != muted) {
        m_muted[static_cast<size_t>(bar)] = muted;
        for (int row = 0; row < m_nRows; ++row)
            m_bars[static_cast<size_t>(bar)]->m_changed[static_cast<size_t>(row)] = TRUE;
        m_bDirty = TRUE;
    }
    return m_bDirty;
}

COLORREF CSkinMeter::Dimmed(COLORREF colour)
{
    return RGB(GetRValue(colour) / 3, GetGValue(colour) / 3, GetBValue(colour) / 3);
}

COLORREF CSkinMeter::PeakColour(int level) const
{
    level = std::clamp(level, -10000, 0);
    for (int i = 0; i < m_nRows; ++i) {
        if (level > m_thresholds[static_cast<size_t>(i) + 1])
            return m_lit[static_cast<size_t>(i)];
    }
    return m_nRows > 0 ? m_lit.back() : RGB(0, 0, 0);
}

int CSkinMeter::BarAt(int x, int y) const
{
    if (m_nBars <= 0 || x < m_rect.left || x >= m_rect.right || y < m_rect.top || y >= m_rect.bottom)
        return -1;
    // Each bar owns its column up to the next bar's first cell.
    for (int b = m_nBars - 1; b >= 0; --b) {
        if (x >= CellRect(b, 0).left - 1)
            return b;
    }
    return 0;
}

BOOL CSkinMeter::OnStylusDown(UINT flags, int x, int y, CDC*)
{
    const int bar = BarAt(x, y);
    if (bar < 0)
        return FALSE;
    HWND hwnd = m_pParent ? m_pParent->m_hWnd : nullptr;
    PostMessageW(hwnd, WM_SKIN_METER, static_cast<WPARAM>(bar), static_cast<LPARAM>(flags));
    return TRUE;
}

void CSkinMeter::SetRect(RECT rect)
{
    m_rect = rect;
    m_nWidth = rect.right - rect.left;
    m_nHeight = rect.bottom - rect.top;
    m_lit.clear();
    m_unlit.clear();
    m_thresholds.clear();
    m_levels.clear();
    m_peaks.clear();
    m_holds.clear();

    m_nRowPitch = 4;
    const int rows = (m_nHeight - 6) / 4;
    // The colour bands need at least eight rows; a smaller meter is left
    // without cells instead of dividing by zero.
    if (rows < 8) {
        m_nRows = 0;
        for (auto& bar : m_bars)
            bar->Resize(0);
        return;
    }
    m_nRows = static_cast<SHORT>(std::min(rows, 0x7FFF));
    m_lit.resize(static_cast<size_t>(rows));
    m_unlit.resize(static_cast<size_t>(rows));
    m_thresholds.resize(static_cast<size_t>(rows) + 1);
    m_holds.assign(static_cast<size_t>(m_nBars), 0);
    m_peaks.assign(static_cast<size_t>(m_nBars), -10000);
    m_levels.assign(static_cast<size_t>(m_nBars), -10000);
    for (auto& bar : m_bars)
        bar->Resize(rows);

    const int q = rows / 4;
    for (int i = 0; i <= q; ++i) {
        const int h = (255 * i) / q;
        m_lit[static_cast<size_t>(i)] = RGB(255, h, 0);
        m_unlit[static_cast<size_t>(i)] = RGB(127, Clamp255(h - 128), 0);
    }
    for (int j = 0; j < q; ++j) {
        const int h = (255 * (q - 1 - j)) / (q - 1);
        m_lit[static_cast<size_t>(q + 1 + j)] = RGB(h, 255, 0);
        m_unlit[static_cast<size_t>(q + 1 + j)] = RGB(Clamp255(h - 128), 127, 0);
    }
    for (int i = 2 * q + 1; i < rows; ++i) {
        const int t = (128 * (rows - 1 - i)) / (rows - 2 * q - 2);
        m_lit[static_cast<size_t>(i)] = RGB(0, t + 127, 0);
        m_unlit[static_cast<size_t>(i)] = RGB(0, Clamp255(t - 1), 0);
    }
    for (int i = 0; i < rows; ++i)
        m_thresholds[static_cast<size_t>(i)] = static_cast<SHORT>((-10000 * i) / rows);
    m_thresholds[static_cast<size_t>(rows)] = -10000;
}

void CSkinMeter::SetLevel(int bar, int level, int peakInput)
{
    if (m_nRows == 0 || bar < 0 || bar >= m_nBars || m_levels.empty())
        return;
    const size_t b = static_cast<size_t>(bar);
    const SHORT in = static_cast<SHORT>(std::clamp(level, -10000, 0));
    const SHORT peakIn = static_cast<SHORT>(std::clamp(peakInput, -10000, 0));
    SHORT& shown = m_levels[b];
    SHORT& peak = m_peaks[b];
    SHORT& hold = m_holds[b];

    ++hold;
    if (in < shown)
        shown = static_cast<SHORT>(in / 2 + shown / 2);
    else
        shown = in;
    if (peakIn > peak)
        hold = 0;
    peak = std::max(peak, peakIn);
    if (hold > 2) {
        peak = static_cast<SHORT>(peak - 100);
        hold = 0;
    }
    peak = std::clamp<SHORT>(peak, -10000, 0);
    shown = std::min(shown, peak);

    CSkinMeterBar& cells = *m_bars[b];
    for (int i = 0; i < m_nRows; ++i) {
        const SHORT upper = m_thresholds[static_cast<size_t>(i)];
        const SHORT lower = m_thresholds[static_cast<size_t>(i) + 1];
        const BOOL lit = shown > upper || (peak <= upper && peak > lower);
        cells.SetCell(i, lit);
    }
}

RECT CSkinMeter::CellRect(int bar, int row) const
{
    const int span = m_rect.right - m_rect.left - 4;
    const int n = std::max<int>(1, m_nBars);
    return RECT { m_rect.left + (span * bar) / n + 3, m_rect.top + 4 * row + 3,
        m_rect.left + (span * (bar + 1)) / n + 1, m_rect.top + 4 * row + 6 };
}

void CSkinMeter::PaintCells(CDC* dc, BOOL all)
{
    CBrush litBrush(RGB(255, 0, 0));
    CBrush unlitBrush(RGB(255, 0, 0));
    COLORREF litColour = RGB(255, 0, 0);
    COLORREF unlitColour = RGB(255, 0, 0);
    for (int i = 0; i < m_nRows; ++i) {
        const size_t row = static_cast<size_t>(i);
        for (int b = 0; b < m_nBars; ++b) {
            CSkinMeterBar& cells = *m_bars[static_cast<size_t>(b)];
            if (all || cells.m_changed[row]) {
                const RECT cell = CellRect(b, i);
                const BOOL muted = m_muted[static_cast<size_t>(b)];
                if (cells.m_lit[row]) {
                    const COLORREF colour = muted ? Dimmed(m_lit[row]) : m_lit[row];
                    // Brushes are made again only when the colour changes.
                    if (colour != litColour) {
                        litBrush.DeleteObject();
                        litBrush.CreateSolidBrush(colour);
                        litColour = colour;
                    }
                    dc->FillRect(&cell, &litBrush);
                } else {
                    const COLORREF colour = muted ? Dimmed(m_unlit[row]) : m_unlit[row];
                    if (colour != unlitColour) {
                        unlitBrush.DeleteObject();
                        unlitBrush.CreateSolidBrush(colour);
                        unlitColour = colour;
                    }
                    dc->FillRect(&cell, &unlitBrush);
                }
            }
            cells.m_changed[row] = FALSE;
        }
    }
}

BOOL CSkinMeter::AtRest() const
{
    auto bottom = [](SHORT value) { return value <= -10000; };
    return std::all_of(m_levels.begin(), m_levels.end(), bottom) && std::all_of(m_peaks.begin(), m_peaks.end(), bottom)
        ? TRUE
        : FALSE;
}

void CSkinMeter::DrawChanged(CDC* dc)
{
    if (dc)
        PaintCells(dc, FALSE);
}

void CSkinMeter::Draw(CDC* composite, CDC*, CDC*)
{
    CBrush black(RGB(0, 0, 0));
    composite->FillRect(&m_rect, &black);
    PaintCells(composite, TRUE);
    m_bDirty = FALSE;
}
