#include "platform/gdi/CDC.h"
#include "platform/gdi/CGlyphCache.h"
#include "platform/gdi/TextRaster.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

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

// Readouts are drawn from cached glyphs; Qt's own drawing of the same line
// is the reference, pixel for pixel: kerning ("11"), sub-pixel positions,
// blending over a busy background, clipping and the opaque box.
TEST(GdiText, CachedReadoutGlyphsDrawAsQtDrawsTheLine)
{
    if (!HaveLiberation())
        GTEST_SKIP() << "Liberation Sans (fonts-liberation2) is not installed";
    struct Case {
        int cell;
        int weight;
        const wchar_t* text;
        COLORREF colour;
        RECT rect;
        UINT format;
        bool opaque;
    };
    const UINT centred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    const Case cases[] = {
        { 16, 700, L"111.4.011", RGB(0, 0, 127), { 3, 2, 90, 20 }, centred, false },
        { 16, 700, L"00:03:27,5", RGB(127, 0, 0), { 0, 4, 77, 19 }, centred, false },
        { 26, 500, L"-12", RGB(127, 127, 127), { 10, 0, 60, 30 }, centred, false },
        { 16, 700, L"2.3.417", RGB(255, 255, 255), { 5, 1, 40, 16 }, DT_SINGLELINE, true },
        // Narrower than the text: both ends are cut off by the clip.
        { 16, 700, L"1234567890", RGB(10, 200, 30), { 12, 6, 44, 14 }, centred | DT_RIGHT, false },
        { -11, 400, L"+7 1.1", RGB(0, 0, 0), { 2, 2, 60, 20 }, DT_RIGHT | DT_SINGLELINE, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << CString(c.text).ToUtf8() << " in a cell of " << c.cell);
        CFont font;
        font.CreateFont(c.cell, 0, 0, 0, c.weight, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Arial");
        CPixelBuffer drawn;
        drawn.Resize(96, 32);
        for (size_t i = 0; i < drawn.pixels.size(); ++i)
            drawn.pixels[i] = static_cast<std::uint32_t>(i * 2246822519u) & 0x00FFFFFFu;
        CPixelBuffer expected = drawn;
        const std::uint32_t colour = (GetRValue(c.colour) << 16) | (GetGValue(c.colour) << 8) | GetBValue(c.colour);
        RECT painted;
        RasterText(drawn, font.GetFont(), CString(c.text), c.rect, c.format, colour, c.opaque, 0x00405060u, &painted);

        QFont qfont(QStringLiteral("Arial"));
        qfont.setPixelSize(ResolvedPixelSize(font.GetFont()));
        qfont.setWeight(static_cast<QFont::Weight>(c.weight));
        const QFontMetrics metrics(qfont);
        const QString line = QString::fromStdWString(c.text);
        const int width = c.rect.right - c.rect.left;
        const int lineHeight = metrics.ascent() + metrics.descent();
        const int textWidth = metrics.horizontalAdvance(line);
        // The readout is one the cache draws, not one it leaves to Qt.
        CGlyphCache probe(qfont);
        int measured = 0;
        EXPECT_TRUE(probe.Measure(line, &measured));
        EXPECT_EQ(measured, textWidth);
        const int x = (c.format & DT_CENTER) ? c.rect.left + (width - textWidth) / 2
            : (c.format & DT_RIGHT)          ? c.rect.right - textWidth
                                             : c.rect.left;
        const int y = (c.format & DT_VCENTER) ? c.rect.top + (c.rect.bottom - c.rect.top - lineHeight) / 2 : c.rect.top;
        {
            QImage image(reinterpret_cast<uchar*>(expected.pixels.data()), 96, 32, 96 * 4, QImage::Format_RGB32);
            QPainter painter(&image);
            painter.setClipRect(QRect(c.rect.left, c.rect.top, width, c.rect.bottom - c.rect.top));
            painter.setFont(qfont);
            painter.setPen(QColor::fromRgb(colour));
            if (c.opaque)
                painter.fillRect(QRect(x, y, textWidth, lineHeight), QColor::fromRgb(0x00405060u));
            painter.drawText(QPoint(x, y + metrics.ascent()), line);
        }
        for (std::uint32_t& p : expected.pixels)
            p &= 0x00FFFFFFu;
        EXPECT_TRUE(drawn.pixels == expected.pixels);
    }
}
