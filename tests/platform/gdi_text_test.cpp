#include "platform/gdi/CDC.h"
#include "platform/gdi/TextRaster.h"

#include <gtest/gtest.h>

namespace {

bool HaveLiberation()
{
    CFont probe;
    probe.CreateFont(16, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Arial");
    return ResolvedFontFamily(probe.GetFont()) == L"Liberation Sans";
}

struct Ink {
    int left { 1000 }, top { 1000 }, right { -1 }, bottom { -1 };
    int count { 0 };
};

Ink InkOf(const CPixelBuffer& p, std::uint32_t background)
{
    Ink ink;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (p.At(x, y) != background) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x + 1);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y + 1);
                ++ink.count;
            }
        }
    }
    return ink;
}

}

TEST(GdiText, ArialCellHeightsMapToLiberationPixelSizes)
{
    if (!HaveLiberation())
        GTEST_SKIP() << "Liberation Sans (fonts-liberation2) is not installed";
    CFont small;
    CFont large;
    small.CreateFont(16, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Arial");
    large.CreateFont(26, 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Arial");
    EXPECT_EQ(ResolvedPixelSize(small.GetFont()), 14);
    EXPECT_EQ(ResolvedPixelSize(large.GetFont()), 23);
    CFont character;
    character.CreateFont(-20, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Arial");
    EXPECT_EQ(ResolvedPixelSize(character.GetFont()), 20);
}

TEST(GdiText, CentredTextStaysInsideItsRectangleOverTheBackground)
{
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(nullptr, 60, 30);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bitmap);
    RECT all { 0, 0, 60, 30 };
    dc.FillSolidRect(&all, RGB(200, 210, 220));
    CFont font;
    font.CreateFont(16, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Arial");
    CFont* oldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    EXPECT_EQ(dc.SetTextColor(RGB(0, 0, 127)), 0u);
    // A text wider than its rectangle: nothing may be drawn outside it.
    RECT r { 20, 8, 40, 23 };
    dc.DrawText(CString(L"WWWWWW"), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Ink wide = InkOf(*bitmap.Pixels(), 0x00C8D2DCu);
    EXPECT_GT(wide.count, 0);
    EXPECT_GE(wide.left, 20);
    EXPECT_LE(wide.right, 40);
    EXPECT_GE(wide.top, 8);
    EXPECT_LE(wide.bottom, 23);

    dc.FillSolidRect(&all, RGB(200, 210, 220));
    RECT centre { 0, 0, 60, 30 };
    dc.DrawText(CString(L"88"), &centre, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Ink ink = InkOf(*bitmap.Pixels(), 0x00C8D2DCu);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 30.0, 1.5);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 15.0, 3.0);
    // The text colour is there and no pixel carries a value in the top byte.
    bool dark = false;
    for (std::uint32_t p : bitmap.Pixels()->pixels) {
        EXPECT_EQ(p >> 24, 0u);
        dark = dark || p == 0x0000007Fu;
    }
    EXPECT_TRUE(dark);
    dc.SelectObject(oldFont);
    dc.SelectObject(old);
}
