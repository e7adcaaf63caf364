#pragma once

#include "skin/CSkinControl.h"
#include "skin/CSkinMeterBar.h"

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

    // The area of one cell on the face.
    RECT CellRect(int bar, int row) const;

private:
    void PaintCells(CDC* dc, BOOL all);
};
