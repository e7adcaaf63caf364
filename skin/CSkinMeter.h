#pragma once

#include "skin/CSkinControl.h"
#include "skin/CSkinMeterBar.h"

// A click on a meter bar, to its dialog: wParam = the bar (from 0), lParam
// = the stylus flags (MK_CONTROL).
#define WM_SKIN_METER 0x0801

#include <memory>
#include <vector>

// A grid of coloured cells, one bar per channel, lit from the bottom up to
// the bar's level with a falling peak marker above it.
class CSkinMeter : public CSkinControl {
public:
    CSkinMeter();

    RECT m_rect { 0, 0, 0, 0 };
    std::vector<std::unique_ptr<CSkinMeterBar>> m_bars;
    std::vector<COLORREF> m_lit;
    std::vector<COLORREF> m_unlit;
    std::vector<SHORT> m_thresholds;
    std::vector<SHORT> m_levels;
    std::vector<SHORT> m_peaks;
    std::vector<SHORT> m_holds;
    SHORT m_nRows { 0 };
    SHORT m_nBars { 0 };
    SHORT m_nRowPitch { 0 };
    int m_nWidth { 0 };
    int m_nHeight { 0 };
    // Bars drawn dimmed (muted channels).
    std::vector<BOOL> m_muted;

    void SetBarCount(int bars);
    void SetRect(RECT rect);
    void SetLevel(int bar, int level, int peakInput);
    // TRUE once every bar and peak marker has fallen to the bottom, so that
    // refreshes with silent levels change nothing more.
    BOOL AtRest() const;
    // Paints the cells whose state changed straight into dc.
    void DrawChanged(CDC* dc);
    void Draw(CDC* composite, CDC* work, CDC* skin) override;
    RECT DrawArea() const override { return m_rect; }
    // A click on a bar tells the dialog (WM_SKIN_METER).
    BOOL OnStylusDown(UINT flags, int x, int y, CDC* probe) override;

    // Draws the bar dimmed or not; returns the dirty flag.
    BOOL SetMuted(int bar, BOOL muted);
    // The bar whose column holds (x, y); -1 outside the meter.
    int BarAt(int x, int y) const;
    // A cell's colour as a muted bar shows it.
    static COLORREF Dimmed(COLORREF colour);
    // The colour a bar shows for a level at its top: the lit colour of the
    // row a peak at that level marks (red for full, green for soft). Black
    // while the meter has no rows.
    COLORREF PeakColour(int level) const;

    // The area of one cell on the face.
    RECT CellRect(int bar, int row) const;

private:
    void PaintCells(CDC* dc, BOOL all);
};
