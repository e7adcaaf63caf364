#include "PlayerDialogFixture.h"

#include "app/CDisplayRefresh.h"
#include "skin/CSkinSlider.h"

// Stylus input goes through the dialog's window procedure, as the window
// backend delivers it, and what the controls post is handled in turn.
class Stylus : public PlayerDialog {
protected:
    void Send(UINT message, int x, int y)
    {
        SendMessageW(Hwnd(), message, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    // Handles what the controls posted; returns it.
    std::vector<MSG> Handle()
    {
        std::vector<MSG> posted;
        for (const MSG& msg : Drain()) {
            // The player thread's meter posts are not what these tests follow.
            if (msg.message == WM_COMMAND && LOWORD(msg.wParam) == 1004)
                continue;
            posted.push_back(msg);
            SendMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        }
        return posted;
    }
    void Tap(int x, int y)
    {
        Send(WM_LBUTTONDOWN, x, y);
        Send(WM_LBUTTONUP, x, y);
    }
    POINT ThumbCentre(CSkinSlider* slider)
    {
        RECT r = slider->ThumbRect();
        return { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
    }
};

TEST_F(Stylus, TapOnPlayPostsItsCommandAndRequestsTheStart)
{
    Open(WriteSong("stylus-play.mid", 384, -1, 384 * 64));
    Drain();
    // The player thread is held so that the request stays visible.
    dialog.m_pThread->SuspendThread();
    Tap(109, 222);
    auto posted = Handle();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(posted[0].wParam, MAKEWPARAM(1001, 0));
    EXPECT_EQ(state.m_playState, STATE_START);
    dialog.m_pThread->ResumeThread();
    WaitForState(STATE_PLAYING);

    Tap(40, 222);
    posted = Handle();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].wParam, MAKEWPARAM(1002, 0));
    EXPECT_EQ(state.m_playState, STATE_STOPPED);
}

TEST_F(Stylus, TapOnAWhiteMaskPixelOfAButtonDoesNothing)
{
    // The play button's rectangle starts at (79, 192); its corner lies
    // outside the round shape.
    ASSERT_NE(dialog.m_bmpMask.Pixels()->At(80, 193) & 0xFFFFFF, 0u);
    Send(WM_LBUTTONDOWN, 80, 193);
    EXPECT_EQ(dialog.m_pCaptured, nullptr);
    Send(WM_LBUTTONUP, 80, 193);
    EXPECT_TRUE(Handle().empty());
    EXPECT_EQ(state.m_playState, STATE_STOPPED);

    // Nor do the text fields take the stylus.
    for (POINT p : { POINT { 60, 90 }, POINT { 180, 160 } }) {
        Tap(p.x, p.y);
        EXPECT_TRUE(Handle().empty()) << p.x << "," << p.y;
    }
}

TEST_F(Stylus, DraggingTheVolumeSliderChangesTheVolumeContinuously)
{
    CSkinSlider* slider = dialog.m_pVolumeSlider;
    ASSERT_EQ(slider->m_nValue, 1000);
    POINT thumb = ThumbCentre(slider);
    Send(WM_LBUTTONDOWN, thumb.x, thumb.y);
    ASSERT_EQ(dialog.m_pCaptured, slider);
    Handle();
    EXPECT_EQ(dialog.m_output.m_volume, 1000);

    int last = 1000;
    for (int y = thumb.y + 8; y <= 55; y += 8) {
        Send(WM_MOUSEMOVE, thumb.x, y);
        Handle();
        EXPECT_LT(dialog.m_output.m_volume, last) << y;
        EXPECT_EQ(dialog.m_output.m_volume, slider->m_nValue);
        last = dialog.m_output.m_volume;
    }
    Send(WM_LBUTTONUP, thumb.x, 55);
    Handle();
    EXPECT_EQ(dialog.m_pCaptured, nullptr);
    EXPECT_EQ(dialog.m_output.m_volume, last);
}

TEST_F(Stylus, DraggingThePositionSliderSeeksOnlyOnRelease)
{
    Open(WriteSong("stylus-seek.mid", 384, -1, 10000));
    Drain();
    CSkinSlider* slider = dialog.m_pPositionSlider;
    POINT thumb = ThumbCentre(slider);
    Send(WM_LBUTTONDOWN, thumb.x, thumb.y);
    ASSERT_EQ(dialog.m_pCaptured, slider);
    Send(WM_MOUSEMOVE, 64, thumb.y);
    Handle();
    EXPECT_EQ(state.m_currentTick, 0);
    // The refresh leaves the held thumb where the stylus put it.
    const int held = slider->m_nValue;
    EXPECT_GT(held, 0);
    Refresh();
    EXPECT_EQ(slider->m_nValue, held);

    Send(WM_LBUTTONUP, 64, thumb.y);
    Handle();
    EXPECT_EQ(state.m_currentTick, CDisplayRefresh::SeekTick(10000, CMeterMap(384), held));
    EXPECT_GT(state.m_currentTick, 0);
    EXPECT_EQ(state.m_currentTick % 384, 0);
}
