#include "platform/gdi/CDC.h"
#include "skin/CSkinLoopMarks.h"

#include <gtest/gtest.h>

#include <string>

// The loop marks on a strip of 11 columns and 3 rows over a 4-row skin:
// '.' the skin, 'A' a mark, '~' the tinted span, '#' the row below the
// strip, which the marks never touch.
TEST(SkinLoopMarks, MarksAndSpanOnATinyStrip)
{
    CBitmap skinBitmap;
    skinBitmap.CreateCompatibleBitmap(nullptr, 13, 4);
    CDC skin;
    skin.CreateCompatibleDC(nullptr);
    CBitmap* oldSkin = skin.SelectObject(&skinBitmap);
    RECT all { 0, 0, 13, 4 }, below { 0, 3, 13, 4 };
    skin.FillSolidRect(&all, RGB(1, 2, 3));
    skin.FillSolidRect(&below, RGB(9, 9, 9));
    skin.SelectObject(oldSkin);

    CSkinLoopMarks marks;
    marks.m_pNormal = &skinBitmap;
    marks.m_rect = RECT { 1, 0, 12, 3 };
    struct Case {
        LONGLONG start, end;
        BOOL on;
        const char* rows[3];
    };
    CBitmap target;
    target.CreateCompatibleBitmap(nullptr, 13, 4);
    CDC composite;
    composite.CreateCompatibleDC(nullptr);
    CBitmap* old = composite.SelectObject(&target);
    CDC skinDc;
    skinDc.CreateCompatibleDC(nullptr);
    for (const Case& c : { Case { -1, -1, FALSE, { ".............", ".............", "............." } },
             Case { 200, -1, FALSE, { "...A.........", "...A.........", "...A........." } },
             Case { 200, 700, FALSE, { "...A....A....", "...A....A....", "...A....A...." } },
             Case { 200, 700, TRUE, { "...A~~~~A....", "...A~~~~A....", "...A....A...." } },
             Case { 0, 1000, TRUE, { ".A~~~~~~~~~A.", ".A~~~~~~~~~A.", ".A.........A." } },
             Case { -1, -1, TRUE, { ".............", ".............", "............." } } }) {
        composite.FillSolidRect(&all, RGB(200, 200, 200));
        EXPECT_TRUE(marks.SetLoop(c.start, c.end, 1000, c.on));
        marks.Draw(&composite, nullptr, &skinDc);
        EXPECT_FALSE(marks.m_bDirty);
        for (int y = 0; y < 3; ++y) {
            std::string row;
            for (int x = 0; x < 13; ++x) {
                const COLORREF p = composite.GetPixel(x, y);
                row += p == CSkinLoopMarks::kMark ? 'A' : p == CSkinLoopMarks::kSpan ? '~' : p == RGB(1, 2, 3) ? '.' : '?';
            }
            // Outside the strip the composite keeps its own pixels.
            row[0] = row[0] == '?' ? '.' : 'X';
            row[12] = row[12] == '?' ? '.' : 'X';
            EXPECT_EQ(row, c.rows[y]) << c.start << "-" << c.end << " on " << c.on << " row " << y;
        }
        EXPECT_EQ(composite.GetPixel(5, 3), RGB(200, 200, 200)) << "the row below is not drawn";
    }
    EXPECT_FALSE(marks.SetLoop(-1, -1, 1000, TRUE)) << "nothing changed, nothing to draw";
    composite.SelectObject(old);
}
