#include "FaceFixture.h"

#include "platform/gdi/CClientDC.h"

using SkinSliders = FaceFixture;

namespace {

int Code(const MSG& m) { return HIWORD(static_cast<std::uintptr_t>(m.lParam)); }
int Value(const MSG& m) { return LOWORD(static_cast<std::uintptr_t>(m.lParam)); }

}

TEST_F(SkinSliders, ValuesFollowTheProjectionOntoTheTrack)
{
    CSkinSlider* position = face.m_layout.m_pPositionSlider;
    EXPECT_EQ(position->ValueAt(64, 135), 500) << "on the track";
    EXPECT_EQ(position->ValueAt(108, 135), 1000) << "at the end";
    EXPECT_EQ(position->ValueAt(5, 135), 0) << "behind the start";
    EXPECT_EQ(position->ValueAt(230, 135), 1000) << "beyond the end";
    EXPECT_NEAR(position->ValueAt(42, 160), 250, 1) << "beside: the foot of the perpendicular";
    EXPECT_EQ(position->ValueAt(20, 135), 0) << "exactly on the start";

    CSkinSlider* volume = face.m_layout.m_pVolumeSlider;
    EXPECT_EQ(volume->ValueAt(218, 55), 0);
    EXPECT_EQ(volume->ValueAt(218, 35), 500) << "upwards is louder";
    EXPECT_EQ(volume->ValueAt(218, 15), 1000);
    EXPECT_EQ(volume->ThumbRect().top, 5) << "volume 1000 stands 35 pixels above the rest place";
}

TEST_F(SkinSliders, ADragPostsDownChangesAndUp)
{
    CSkinSlider* position = face.m_layout.m_pPositionSlider;
    Down(20, 135);
    EXPECT_EQ(face.m_dialog.m_pCaptured, position);
    EXPECT_EQ(GetCapture(), nullptr) << "sliders do not take the window capture";
    Move(64, 135);
    Move(64, 150); // the same value beside the track
    Move(20, 135); // back onto the start: 0, not a failed arc cosine
    Up(300, 300);
    auto posted = Drain();
    ASSERT_EQ(posted.size(), 4u);
    for (const MSG& m : posted) {
        EXPECT_EQ(m.message, static_cast<UINT>(WM_SKIN_SLIDER));
        EXPECT_EQ(m.wParam, 1013u);
    }
    EXPECT_EQ(Code(posted[0]), SLIDER_NOTIFY_DOWN);
    EXPECT_EQ(Value(posted[0]), 0);
    EXPECT_EQ(Code(posted[1]), SLIDER_NOTIFY_DRAG);
    EXPECT_EQ(Value(posted[1]), 500);
    EXPECT_EQ(Code(posted[2]), SLIDER_NOTIFY_DRAG);
    EXPECT_EQ(Value(posted[2]), 0);
    EXPECT_EQ(Code(posted[3]), SLIDER_NOTIFY_UP);
    EXPECT_EQ(Value(posted[3]), 0);
    EXPECT_EQ(face.m_dialog.m_pCaptured, nullptr);
}

TEST_F(SkinSliders, OnlyTheThumbShapeTakesTheStylusButThePositionTrackJumps)
{
    Down(218, 45); // on the volume track below its thumb
    EXPECT_EQ(face.m_dialog.m_pCaptured, nullptr);
    EXPECT_TRUE(Drain().empty());
    Down(64, 135); // on the position track, halfway, beside the thumb
    EXPECT_EQ(face.m_dialog.m_pCaptured, face.m_layout.m_pPositionSlider);
    EXPECT_EQ(face.m_layout.m_pPositionSlider->m_nValue, 500);
    Up(64, 135);
    auto jumped = Drain();
    ASSERT_EQ(jumped.size(), 3u);
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(jumped[1].lParam)), SLIDER_NOTIFY_DRAG);
    EXPECT_EQ(Value(jumped[2]), 500);
    Down(64, 122); // above the track
    EXPECT_EQ(face.m_dialog.m_pCaptured, nullptr);
    Down(218, 15); // the volume thumb stands at the top
    EXPECT_EQ(face.m_dialog.m_pCaptured, face.m_layout.m_pVolumeSlider);
    Up(218, 15);
    auto posted = Drain();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].wParam, 1016u);
    EXPECT_EQ(Value(posted[0]), 1000);
}

TEST_F(SkinSliders, SetValueMovesThumbOnTheNextRedraw)
{
    CSkinSlider* position = face.m_layout.m_pPositionSlider;
    CSkinDialog& d = face.m_dialog;
    ASSERT_EQ(Screen(20, 135), Skin(d.m_bmpPressed, 20, 135));
    EXPECT_TRUE(position->SetValue(500));
    EXPECT_TRUE(Drain().empty()) << "no notification";
    {
        CClientDC dc(&d);
        d.RedrawControls(&dc, FALSE);
    }
    EXPECT_EQ(Screen(20, 135), Skin(d.m_bmpNormal, 20, 135)) << "old thumb erased";
    EXPECT_EQ(Screen(64, 135), Skin(d.m_bmpPressed, 20, 135)) << "thumb drawn at its new place";
    EXPECT_EQ(Screen(64 - 9, 126), Skin(d.m_bmpNormal, 64 - 9, 126)) << "outside its shape the face shows";
    EXPECT_FALSE(position->SetValue(500));
}
