#include "platform/gdi/CClientDC.h"
#include "platform/gdi/CPaintDC.h"
#include "tests/RecordingBackend.h"
#include "platform/ui/CShownPixels.h"
#include "platform/ui/CWnd.h"
#include "platform/ui/WindowHandle.h"

#include <array>

#include <gtest/gtest.h>

#include <vector>

namespace {

class PaintingWindow : public CWnd {
public:
    std::vector<UINT> seen;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        if (message == WM_ERASEBKGND) {
            CDC dc;
            dc.Attach(reinterpret_cast<HDC>(wParam));
            RECT r { 0, 0, 4, 4 };
            dc.FillSolidRect(&r, RGB(0, 0, 255));
            dc.Detach();
            return TRUE;
        }
        if (message == WM_PAINT) {
            CPaintDC dc(this);
            dc.SetPixel(1, 1, RGB(255, 0, 0));
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

}

TEST(GdiWindow, ClientDcDrawsOnTheSurfaceAndReportsTheArea)
{
    RecordingBackend backend;
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateHandle(8, 6, &backend));
    {
        CClientDC dc(&wnd);
        RECT r { 2, 1, 5, 3 };
        dc.FillSolidRect(&r, RGB(0x11, 0x22, 0x33));
        EXPECT_TRUE(backend.changed.empty()) << "reported when the DC is released";
    }
    EXPECT_EQ(wnd.m_hWnd->surface.At(2, 1), 0x00112233u);
    ASSERT_EQ(backend.changed.size(), 1u);
    EXPECT_EQ(backend.changed[0].left, 2);
    EXPECT_EQ(backend.changed[0].bottom, 3);
    {
        CClientDC untouched(&wnd);
        EXPECT_NE(untouched.GetPixel(0, 0), CLR_INVALID);
    }
    EXPECT_EQ(backend.changed.size(), 1u) << "a DC that drew nothing reports nothing";
    {
        // Parts apart are reported apart (the face between is not repainted);
        // parts that meet are reported as one.
        CClientDC dc(&wnd);
        for (RECT r : { RECT { 0, 0, 2, 1 }, RECT { 6, 4, 8, 6 }, RECT { 1, 1, 3, 2 } })
            dc.FillSolidRect(&r, RGB(1, 2, 3));
    }
    ASSERT_EQ(backend.changed.size(), 3u);
    EXPECT_EQ((std::array { backend.changed[1].left, backend.changed[1].top, backend.changed[1].right,
                  backend.changed[1].bottom }),
        (std::array<LONG, 4> { 0, 0, 3, 2 }));
    EXPECT_EQ(backend.changed[2].left, 6);
    wnd.DestroyHandle();
}

TEST(GdiWindow, UpdateWindowErasesThenPaintsOnlyWhatIsInvalid)
{
    PaintingWindow wnd;
    ASSERT_TRUE(wnd.CreateHeadless(4, 4));
    EXPECT_TRUE(UpdateWindow(wnd.m_hWnd));
    EXPECT_TRUE(wnd.seen.empty()) << "nothing invalid, nothing painted";

    wnd.InvalidateRect(nullptr, TRUE);
    UpdateWindow(wnd.m_hWnd);
    ASSERT_EQ(wnd.seen.size(), 2u);
    EXPECT_EQ(wnd.seen[0], static_cast<UINT>(WM_ERASEBKGND));
    EXPECT_EQ(wnd.seen[1], static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(wnd.m_hWnd->surface.At(0, 0), 0x000000FFu);
    EXPECT_EQ(wnd.m_hWnd->surface.At(1, 1), 0x00FF0000u);
    EXPECT_FALSE(wnd.m_hWnd->needsPaint);

    wnd.seen.clear();
    wnd.InvalidateRect(nullptr, FALSE);
    UpdateWindow(wnd.m_hWnd);
    ASSERT_EQ(wnd.seen.size(), 1u);
    EXPECT_EQ(wnd.seen[0], static_cast<UINT>(WM_PAINT));
    UpdateWindow(wnd.m_hWnd);
    EXPECT_EQ(wnd.seen.size(), 1u);
}

// The parts of an area that differ from what the screen shows: nearby runs
// and the rows of one cell column go as one part, parts far apart as two.
TEST(GdiWindow, ShownPixelsFindTheChangedPartsOfAnArea)
{
    CPixelBuffer surface;
    surface.Resize(40, 12, 0x00102030u);
    const RECT all { 0, 0, 40, 12 };
    std::vector<RECT> parts;
    CShownPixels fresh;
    fresh.Changed(surface, RECT { -5, 2, 50, 4 }, parts);
    ASSERT_EQ(parts.size(), 1u) << "nothing shown yet: the whole area, inside the surface";
    EXPECT_EQ((std::array { parts[0].left, parts[0].top, parts[0].right, parts[0].bottom }), (std::array<LONG, 4> { 0, 2, 40, 4 }));

    struct Case {
        std::vector<POINT> changed;
        std::vector<std::array<LONG, 4>> parts;
    };
    for (const Case& c : std::vector<Case> {
             { {}, {} },
             { { { 5, 3 }, { 6, 3 }, { 9, 3 }, { 6, 4 } }, { { 5, 3, 10, 5 } } },
             { { { 1, 1 }, { 30, 1 } }, { { 1, 1, 2, 2 }, { 30, 1, 31, 2 } } },
             { { { 12, 2 }, { 12, 4 } }, { { 12, 2, 13, 5 } } },
             { { { 12, 2 }, { 12, 5 } }, { { 12, 2, 13, 3 }, { 12, 5, 13, 6 } } },
         }) {
        CShownPixels shown;
        CPixelBuffer now = surface;
        shown.Shown(now, all);
        for (POINT p : c.changed)
            now.At(p.x, p.y) = 0x00FFFFFFu;
        parts.clear();
        shown.Changed(now, all, parts);
        std::vector<std::array<LONG, 4>> found;
        for (const RECT& r : parts)
            found.push_back({ r.left, r.top, r.right, r.bottom });
        EXPECT_EQ(found, c.parts) << c.changed.size() << " changed";
    }
}
