#include "platform/ui/CWnd.h"
#include "platform/ui/WindowHandle.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

class RecordingWnd : public CWnd {
public:
    std::vector<MSG> seen;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back({ m_hWnd, message, wParam, lParam });
        if (message == WM_USER + 1 && wParam < 3)
            PostMessage(WM_USER + 1, wParam + 1, 0);
        return 0;
    }
};

}

TEST(WindowQueue, PostsFromManyThreadsArriveInOrderPerThread)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateHeadless(240, 268));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&wnd, t] {
            for (int i = 0; i < 500; ++i)
                PostMessageW(wnd.m_hWnd, WM_COMMAND, static_cast<WPARAM>(t), i);
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(DispatchPostedMessages(wnd.m_hWnd), 2000);
    std::vector<LPARAM> last(4, -1);
    for (const MSG& m : wnd.seen) {
        EXPECT_GT(m.lParam, last[m.wParam]);
        last[m.wParam] = m.lParam;
    }
}

TEST(WindowQueue, HandlersMayPostWhileDispatching)
{
    RecordingWnd wnd;
    wnd.CreateHeadless(10, 10);
    wnd.PostMessage(WM_USER + 1, 0, 0);
    EXPECT_EQ(DispatchPostedMessages(wnd.m_hWnd), 4);
}

TEST(WindowQueue, DestroyedAndMissingWindowsRefusePosts)
{
    EXPECT_FALSE(PostMessageW(nullptr, WM_COMMAND, 1, 0));
    HWND stale;
    {
        RecordingWnd wnd;
        wnd.CreateHeadless(10, 10);
        stale = wnd.m_hWnd;
        EXPECT_TRUE(IsWindow(stale));
    }
    EXPECT_FALSE(IsWindow(stale));
    EXPECT_FALSE(PostMessageW(stale, WM_COMMAND, 1, 0));
    EXPECT_EQ(SendMessageW(stale, WM_COMMAND, 1, 0), 0);
}

TEST(WindowQueue, ClientRectTitleAndInvalidation)
{
    RecordingWnd wnd;
    wnd.CreateHeadless(240, 268);
    RECT r;
    wnd.GetClientRect(&r);
    EXPECT_EQ(r.right, 240);
    EXPECT_EQ(r.bottom, 268);
    wnd.SetWindowText(L"TabrinoCE - song.mid");
    EXPECT_EQ(wnd.GetWindowText(), L"TabrinoCE - song.mid");
    RECT a { 5, 5, 10, 10 };
    wnd.InvalidateRect(&a, FALSE);
    RECT b { 20, 1, 30, 8 };
    wnd.InvalidateRect(&b, TRUE);
    EXPECT_TRUE(wnd.m_hWnd->needsPaint);
    EXPECT_TRUE(wnd.m_hWnd->needsErase);
    EXPECT_EQ(wnd.m_hWnd->invalid.left, 5);
    EXPECT_EQ(wnd.m_hWnd->invalid.top, 1);
    EXPECT_EQ(wnd.m_hWnd->invalid.right, 30);
    EXPECT_EQ(wnd.m_hWnd->invalid.bottom, 10);
}
