#include "platform/gdi/CDC.h"
#include "skin/CSkinMeter.h"

#include <gtest/gtest.h>

namespace {

// The rows lit in one bar, the top row 0.
std::vector<int> LitRows(const CSkinMeter& meter, int bar)
{
    std::vector<int> rows;
    for (int i = 0; i < meter.m_nRows; ++i) {
        if (meter.m_bars[static_cast<size_t>(bar)]->m_lit[static_cast<size_t>(i)])
            rows.push_back(i);
    }
    return rows;
}

// A 240 x 268 surface filled with one colour, for the paint paths.
struct Canvas {
    CBitmap bitmap;
    CDC dc;
    CBitmap* old;
    explicit Canvas(COLORREF fill)
    {
        bitmap.CreateCompatibleBitmap(nullptr, 240, 268);
        dc.CreateCompatibleDC(nullptr);
        old = dc.SelectObject(&bitmap);
        RECT all { 0, 0, 240, 268 };
        dc.FillSolidRect(&all, fill);
    }
    ~Canvas() { dc.SelectObject(old); }
};

}

// Sixteen bars of eleven rows: a level lights the rows up to it, a fall
// halves the distance while the peak holds, and a paint touches only the
// cells that changed.
TEST(SkinMeter, LevelsFallsAndPaintsOfChangedCells)
{
    CSkinMeter meter;
    meter.SetBarCount(16);
    meter.SetRect(RECT { 10, 10, 200, 60 });
    EXPECT_TRUE(LitRows(meter, 0).empty()) << "silence";
    for (int i = 0; i < 4; ++i) {
        meter.SetLevel(3, 0, 0);
        meter.SetLevel(4, -5000, -5000);
    }
    EXPECT_EQ(LitRows(meter, 3).size(), 11u) << "full: the top row through the peak";
    EXPECT_EQ(LitRows(meter, 4), (std::vector<int> { 5, 6, 7, 8, 9, 10 }));
    meter.SetLevel(5, 5000, 5000);
    meter.SetLevel(6, -20000, -20000);
    EXPECT_EQ(std::make_tuple(meter.m_levels[5], meter.m_peaks[5], meter.m_levels[6]), std::make_tuple(0, 0, -10000))
        << "inputs are clamped";
    EXPECT_TRUE(LitRows(meter, 6).empty());
    meter.SetLevel(0, 0, 0);
    for (int expected : { -5000, -7500, -8750 }) {
        meter.SetLevel(0, -10000, -10000);
        EXPECT_EQ(meter.m_levels[0], expected);
    }
    EXPECT_EQ(meter.m_peaks[0], -100) << "one step of 100 after holding two updates";
    EXPECT_EQ(LitRows(meter, 0), (std::vector<int> { 0, 10 })) << "the peak marker stays at the top";

    for (int i = 0; i < 3; ++i)
        meter.SetLevel(2, -5000, -5000);
    {
        Canvas first(RGB(1, 2, 3));
        meter.DrawChanged(&first.dc);
        EXPECT_EQ(first.dc.GetPixel(meter.CellRect(2, 8).left, meter.CellRect(2, 8).top), RGB(0, 178, 0));
    }
    meter.SetLevel(2, -5000, -5000);
    Canvas second(RGB(1, 2, 3));
    meter.DrawChanged(&second.dc);
    for (std::uint32_t p : second.bitmap.Pixels()->pixels)
        ASSERT_EQ(p, 0x00010203u) << "nothing changed, nothing painted";
    meter.SetLevel(2, 0, 0);
    meter.DrawChanged(&second.dc);
    RECT top = meter.CellRect(2, 0), low = meter.CellRect(2, 10);
    EXPECT_EQ(second.dc.GetPixel(top.left, top.top), RGB(255, 0, 0));
    EXPECT_EQ(second.dc.GetPixel(top.right, top.top), RGB(1, 2, 3)) << "right edge exclusive";
    EXPECT_EQ(second.dc.GetPixel(low.left, low.top), RGB(1, 2, 3)) << "lit before, lit now: untouched";
}

// Levels before the geometry, or on a meter too small for its colour bands,
// are ignored. A muted bar keeps its cells and draws them at a third of
// their colour; a click names the bar whose column it falls in.
TEST(SkinMeter, ATinyMeterIgnoresLevelsAMutedBarIsDimmedAndClicksNameTheirBar)
{
    CSkinMeter tiny;
    tiny.SetBarCount(4);
    tiny.SetLevel(0, 0, 0);
    tiny.SetLevel(9, 0, 0);
    tiny.SetRect(RECT { 0, 0, 40, 20 }); // three rows
    tiny.SetLevel(0, 0, 0);
    EXPECT_EQ(tiny.m_nRows, 0);

    CSkinMeter meter;
    meter.SetBarCount(2);
    meter.SetRect(RECT { 0, 0, 14, 38 }); // eight rows of two bars
    meter.SetLevel(0, 0, 0);
    meter.SetLevel(1, 0, 0);
    meter.SetMuted(1, TRUE);
    Canvas canvas(RGB(9, 9, 9));
    meter.Draw(&canvas.dc, nullptr, nullptr);
    const COLORREF R = RGB(255, 0, 0), r = RGB(85, 0, 0), K = 0;
    // Row 0 (y 3..5) of both bars: bar 0 at x 3..5, bar 1 at x 8..10.
    const COLORREF expected[14] = { K, K, K, R, R, R, K, K, r, r, r, K, K, K };
    for (int x = 0; x < 14; ++x)
        EXPECT_EQ(canvas.dc.GetPixel(x, 4), expected[x]) << x;
    EXPECT_EQ(canvas.dc.GetPixel(4, 6), K) << "the gap between rows";
    for (const auto& [x, y, bar] : { std::tuple { 0, 5, 0 }, { 6, 5, 0 }, { 7, 5, 1 }, { 13, 37, 1 }, { 14, 5, -1 },
             { 4, 38, -1 }, { -1, 5, -1 } })
        EXPECT_EQ(meter.BarAt(x, y), bar) << x << "," << y;
}
