#include "platform/gdi/CDC.h"

#include <gtest/gtest.h>

namespace {

// A memory DC with its own bitmap of the given pixels (COLORREF values).
struct Surface {
    CBitmap bitmap;
    CDC dc;
    CBitmap* previous { nullptr };

    Surface(int w, int h, std::initializer_list<COLORREF> pixels = {})
    {
        bitmap.CreateCompatibleBitmap(nullptr, w, h);
        dc.CreateCompatibleDC(nullptr);
        previous = dc.SelectObject(&bitmap);
        int i = 0;
        for (COLORREF c : pixels) {
            dc.SetPixel(i % w, i / w, c);
            ++i;
        }
    }
    ~Surface() { dc.SelectObject(previous); }
    COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
};

constexpr COLORREF kA = RGB(0xF0, 0x0F, 0x33);
constexpr COLORREF kB = RGB(0x3C, 0xFF, 0x05);

}

TEST(GdiRaster, EachRasterOperationCombinesPixelsExactly)
{
    struct Case {
        DWORD rop;
        COLORREF expected;
    } cases[] = {
        { SRCCOPY, kB },
        { SRCAND, kA & kB },
        { SRCPAINT, kA | kB },
        { 0x00220326u, kA & ~kB & 0x00FFFFFFu },
        { WHITENESS, RGB(255, 255, 255) },
    };
    for (const Case& c : cases) {
        Surface dest(2, 1, { kA, kA });
        Surface src(2, 1, { kB, kB });
        ASSERT_TRUE(dest.dc.BitBlt(1, 0, 1, 1, c.rop == WHITENESS ? nullptr : &src.dc, 0, 0, c.rop)) << std::hex << c.rop;
        EXPECT_EQ(dest.At(1, 0), c.expected) << std::hex << c.rop;
        EXPECT_EQ(dest.At(0, 0), kA) << "outside the target rectangle";
    }
}

TEST(GdiRaster, UnknownOperationOrMissingSourceChangesNothing)
{
    Surface dest(1, 1, { kA });
    Surface src(1, 1, { kB });
    EXPECT_FALSE(dest.dc.BitBlt(0, 0, 1, 1, &src.dc, 0, 0, 0x00990066u));
    EXPECT_FALSE(dest.dc.BitBlt(0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(dest.At(0, 0), kA);
}

TEST(GdiRaster, BlitsAreClippedToBothBitmaps)
{
    Surface dest(3, 3, { 1, 2, 3, 4, 5, 6, 7, 8, 9 });
    Surface src(2, 2, { kA, kB, kB, kA });
    // Half of the area lies left of and above the destination, and the source
    // runs out after two pixels.
    EXPECT_TRUE(dest.dc.BitBlt(-1, -1, 5, 5, &src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dest.At(0, 0), kA);
    EXPECT_EQ(dest.At(1, 0), 2u);
    EXPECT_EQ(dest.At(0, 1), 4u);
    EXPECT_EQ(dest.At(2, 2), 9u);
    // A source origin outside the source copies nothing.
    EXPECT_TRUE(dest.dc.BitBlt(0, 0, 3, 3, &src.dc, 5, 5, SRCCOPY));
    EXPECT_EQ(dest.At(2, 2), 9u);
}

TEST(GdiRaster, PixelsReadBackAsColorRefWithExactBlack)
{
    Surface s(2, 2);
    EXPECT_EQ(s.At(0, 0), 0u);
    CBrush brush(RGB(1, 2, 3));
    RECT r { 0, 0, 1, 1 };
    s.dc.FillRect(&r, &brush);
    EXPECT_EQ(s.At(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(s.bitmap.Pixels()->At(0, 0), 0x00010203u) << "stored as 0x00RRGGBB";
    EXPECT_EQ(s.At(2, 0), CLR_INVALID);
    EXPECT_EQ(s.At(-1, 0), CLR_INVALID);
}

TEST(GdiRaster, FillRectLeavesRightAndBottomEdgesAlone)
{
    Surface s(4, 4);
    CBrush brush(RGB(9, 9, 9));
    RECT r { 1, 1, 3, 3 };
    s.dc.FillRect(&r, &brush);
    int filled = 0;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            filled += s.At(x, y) != 0;
    }
    EXPECT_EQ(filled, 4);
    EXPECT_NE(s.At(2, 2), 0u);
    EXPECT_EQ(s.At(3, 2), 0u);
    EXPECT_EQ(s.At(2, 3), 0u);
}

TEST(GdiRaster, SelectObjectHandsBackThePreviousBitmap)
{
    CBitmap a;
    CBitmap b;
    a.CreateCompatibleBitmap(nullptr, 1, 1);
    b.CreateCompatibleBitmap(nullptr, 1, 1);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* stock = dc.SelectObject(&a);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(dc.SelectObject(&b), &a);
    // One bitmap is in one DC at a time, and it is not freed while selected.
    CDC other;
    other.CreateCompatibleDC(nullptr);
    EXPECT_EQ(other.SelectObject(&b), nullptr);
    EXPECT_FALSE(::DeleteObject(b.m_hObject));
    EXPECT_EQ(dc.SelectObject(stock), &b);
    EXPECT_NE(other.SelectObject(&b), nullptr);
}

TEST(GdiRaster, MaskedDrawingShowsTheImageOnlyUnderTheShape)
{
    // Three pixels: the mask is black in the middle only.
    const COLORREF white = RGB(255, 255, 255);
    Surface composite(3, 1, { kA, kA, kA });
    Surface work(3, 1);
    Surface image(3, 1, { kB, kB, kB });
    Surface mask(3, 1, { white, 0, white });
    composite.dc.BitBlt(0, 0, 3, 1, &mask.dc, 0, 0, SRCAND);
    work.dc.BitBlt(0, 0, 3, 1, &image.dc, 0, 0, SRCCOPY);
    work.dc.BitBlt(0, 0, 3, 1, &mask.dc, 0, 0, 0x00220326u);
    composite.dc.BitBlt(0, 0, 3, 1, &work.dc, 0, 0, SRCPAINT);
    EXPECT_EQ(composite.At(0, 0), kA);
    EXPECT_EQ(composite.At(1, 0), kB);
    EXPECT_EQ(composite.At(2, 0), kA);
}
