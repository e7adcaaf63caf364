#include "FaceFixture.h"

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
