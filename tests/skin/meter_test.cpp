#include "platform/gdi/CDC.h"
#include "skin/CSkinMeter.h"

#include <gtest/gtest.h>

namespace {

class SkinMeterTest : public ::testing::Test {
protected:
    CSkinMeter meter;
    void SetUp() override
    {
        meter.SetBarCount(16);
        meter.SetRect(RECT { 10, 10, 200, 60 });
    }
    std::vector<int> LitRows(int bar)
    {
        std::vector<int> rows;
        for (int i = 0; i < meter.m_nRows; ++i) {
            if (meter.m_bars[static_cast<size_t>(bar)]->m_lit[static_cast<size_t>(i)])
                rows.push_back(i);
        }
        return rows;
    }
};

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

TEST_F(SkinMeterTest, SteadyLevels)
{
    EXPECT_TRUE(LitRows(0).empty()) << "silence";
    for (int i = 0; i < 4; ++i)
        meter.SetLevel(3, 0, 0);
    EXPECT_EQ(LitRows(3).size(), 11u) << "full: the top row through the peak";
    for (int i = 0; i < 4; ++i)
        meter.SetLevel(4, -5000, -5000);
    EXPECT_EQ(LitRows(4), (std::vector<int> { 5, 6, 7, 8, 9, 10 }));
    meter.SetLevel(5, 5000, 5000);
    EXPECT_EQ(meter.m_levels[5], 0) << "inputs are clamped";
    EXPECT_EQ(meter.m_peaks[5], 0);
    meter.SetLevel(6, -20000, -20000);
    EXPECT_EQ(meter.m_levels[6], -10000);
    EXPECT_TRUE(LitRows(6).empty());
}

TEST_F(SkinMeterTest, AFallHalvesTheDistanceWhileThePeakHolds)
{
    meter.SetLevel(0, 0, 0);
    const int expected[] = { -5000, -7500, -8750 };
    for (int step = 0; step < 3; ++step) {
        meter.SetLevel(0, -10000, -10000);
        EXPECT_EQ(meter.m_levels[0], expected[step]);
        EXPECT_LE(meter.m_levels[0], meter.m_peaks[0]);
    }
    EXPECT_EQ(meter.m_peaks[0], -100) << "one step of 100 after holding two updates";
    std::vector<int> rows = LitRows(0);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), 0) << "the peak marker stays at the top";
    EXPECT_EQ(rows, (std::vector<int> { 0, 10 }));
}

TEST_F(SkinMeterTest, OnlyChangedCellsArePainted)
{
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
    RECT top = meter.CellRect(2, 0);
    EXPECT_EQ(second.dc.GetPixel(top.left, top.top), RGB(255, 0, 0));
    EXPECT_EQ(second.dc.GetPixel(top.right, top.top), RGB(1, 2, 3)) << "right edge exclusive";
    RECT low = meter.CellRect(2, 10);
    EXPECT_EQ(second.dc.GetPixel(low.left, low.top), RGB(1, 2, 3)) << "lit before, lit now: untouched";
}

TEST(SkinMeterSetup, LevelsBeforeTheGeometryOrOnATinyMeterAreIgnored)
{
    CSkinMeter meter;
    meter.SetBarCount(4);
    meter.SetLevel(0, 0, 0);
    meter.SetLevel(9, 0, 0);
    meter.SetRect(RECT { 0, 0, 40, 20 }); // three rows: too few for the colour bands
    meter.SetLevel(0, 0, 0);
    EXPECT_EQ(meter.m_nRows, 0);
}

// A muted bar keeps its cells and draws them at a third of their colour; a
// click names the bar whose column it falls in.
TEST(SkinMeterMute, AMutedBarIsDrawnDimmedAndClicksNameTheirBar)
{
    CSkinMeter meter;
    meter.SetBarCount(2);
    meter.SetRect(RECT { 0, 0, 14, 38 }); // eight rows of two bars
    meter.SetLevel(0, 0, 0);
    meter.SetLevel(1, 0, 0);
    meter.SetMuted(1, TRUE);
    Canvas canvas(RGB(9, 9, 9));
    CDC& dc = canvas.dc;
    meter.Draw(&dc, nullptr, nullptr);
    const COLORREF R = RGB(255, 0, 0), r = RGB(85, 0, 0), K = 0;
    // Row 0 (y 3..5) of both bars: bar 0 at x 3..5, bar 1 at x 8..10.
    const COLORREF expected[14] = { K, K, K, R, R, R, K, K, r, r, r, K, K, K };
    for (int x = 0; x < 14; ++x)
        EXPECT_EQ(dc.GetPixel(x, 4), expected[x]) << x;
    EXPECT_EQ(dc.GetPixel(4, 6), K) << "the gap between rows";

    struct Click {
        int x, y, bar;
    };
    for (const Click& c : { Click { 0, 5, 0 }, Click { 6, 5, 0 }, Click { 7, 5, 1 }, Click { 13, 37, 1 },
             Click { 14, 5, -1 }, Click { 4, 38, -1 }, Click { -1, 5, -1 } })
        EXPECT_EQ(meter.BarAt(c.x, c.y), c.bar) << c.x << "," << c.y;
}
