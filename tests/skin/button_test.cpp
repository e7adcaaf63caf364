#include "FaceFixture.h"

#include "platform/ui/Timer.h"
#include "platform/core/DrivenTickCount.h"

using SkinButtons = FaceFixture;

namespace {

// The open button: (9, 146, 69, 185); its corners are outside its shape.
constexpr int kOpenX = 39, kOpenY = 165;

}

TEST_F(SkinButtons, PressMoveOffMoveBackLiftPostsOneCommand)
{
    CSkinButton* open = Button(1000);
    Down(kOpenX, kOpenY);
    EXPECT_EQ(face.m_dialog.m_pCaptured, open);
    EXPECT_TRUE(open->m_bPressed);
    EXPECT_EQ(GetCapture(), Hwnd());
    EXPECT_EQ(Screen(kOpenX, kOpenY), Skin(face.m_dialog.m_bmpPressed, kOpenX, kOpenY)) << "pressed picture shown";

    Move(120, 20);
    EXPECT_FALSE(open->m_bPressed);
    EXPECT_EQ(Screen(kOpenX, kOpenY), Skin(face.m_dialog.m_bmpNormal, kOpenX, kOpenY)) << "rest picture returns";
    EXPECT_TRUE(Drain().empty());
    Move(kOpenX + 5, kOpenY);
    EXPECT_TRUE(open->m_bPressed);
    Up(kOpenX + 5, kOpenY);

    auto posted = Drain();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(posted[0].wParam, 1000u);
    EXPECT_EQ(posted[0].lParam, reinterpret_cast<LPARAM>(Hwnd()));
    EXPECT_EQ(face.m_dialog.m_pCaptured, nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Screen(kOpenX, kOpenY), Skin(face.m_dialog.m_bmpNormal, kOpenX, kOpenY));
}

TEST_F(SkinButtons, LiftingOffTheShapePostsNothing)
{
    Down(kOpenX, kOpenY);
    Move(9, 146);
    Up(9, 146);
    EXPECT_TRUE(Drain().empty());
    EXPECT_FALSE(Button(1000)->m_bPressed);
    EXPECT_EQ(Screen(kOpenX, kOpenY), Skin(face.m_dialog.m_bmpNormal, kOpenX, kOpenY));
}

TEST_F(SkinButtons, ASecondStylusDownWhileHeldIsIgnored)
{
    Down(kOpenX, kOpenY);
    Down(109, 222); // the play button
    EXPECT_EQ(face.m_dialog.m_pCaptured, Button(1000));
    EXPECT_FALSE(Button(1001)->m_bPressed);
    Up(kOpenX, kOpenY);
    auto posted = Drain();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(LOWORD(posted[0].wParam), 1000);
}

// A held step button repeats after 400 ms, then every 80 ms, on the window
// timer; a short click sends its command once, on the lift.
TEST_F(SkinButtons, HeldStepButtonsRepeatOnTheWindowTimer)
{
    DrivenTickCount clock(5000);
    // The tempo-up commands posted by now, the due timers handled first.
    auto commands = [&]() {
        PostDueTimers(Hwnd());
        int count = 0;
        for (int round = 0; round < 2; ++round) {
            for (const MSG& msg : Drain()) {
                if (msg.message == WM_TIMER)
                    SendMessageW(Hwnd(), msg.message, msg.wParam, msg.lParam);
                count += msg.message == WM_COMMAND && msg.wParam == 1017u;
            }
        }
        return count;
    };
    // Tempo up: (199, 144, 220, 164).
    Down(209, 154);
    const struct {
        DWORD advance;
        int commands;
    } steps[] = { { 399, 0 }, { 1, 1 }, { 79, 0 }, { 1, 1 }, { 80, 1 }, { 400, 1 } };
    for (const auto& step : steps) {
        clock.Advance(step.advance);
        EXPECT_EQ(commands(), step.commands) << "after " << step.advance;
    }
    Move(120, 20); // off the button the repeat pauses
    clock.Advance(80);
    EXPECT_EQ(commands(), 0);
    Move(209, 154);
    Up(209, 154);
    EXPECT_EQ(commands(), 0) << "a press that repeated sends nothing more";
    clock.Advance(1000);
    EXPECT_EQ(commands(), 0) << "the timer ended with the press";

    Down(209, 154);
    clock.Advance(399);
    Up(209, 154);
    EXPECT_EQ(commands(), 1);
    // The open button does not repeat.
    Down(kOpenX, kOpenY);
    clock.Advance(1000);
    EXPECT_EQ(PostDueTimers(Hwnd()), INFINITE);
    Up(kOpenX, kOpenY);
}
