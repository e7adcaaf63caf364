#include "FaceFixture.h"

#include "platform/gdi/CClientDC.h"
#include "platform/gdi/PngFile.h"
#include "platform/gdi/TextRaster.h"
#include "tests/RecordingBackend.h"
#include "skin/CSkinText.h"

using SkinFace = FaceFixture;

namespace {

const RECT kShapes[] = {
    { 9, 146, 69, 185 }, { 76, 149, 136, 188 }, { 79, 192, 139, 252 }, { 10, 193, 70, 253 },
    { 199, 144, 220, 164 }, { 199, 164, 220, 184 }, { 199, 217, 220, 237 }, { 199, 237, 220, 257 },
    { 10, 125, 30, 145 }, { 208, 40, 228, 60 },
};

int CountControls(CSkinControl* head)
{
    int n = 0;
    CRing::ForEach(head, [&](CSkinControl*) { ++n; });
    return n;
}

}

// Every control's shape is black in the mask (its corners rounded off), so
// the hit test finds it; a mask regenerated off the layout would not.
TEST_F(SkinFace, TheMaskHoldsEveryControlsShape)
{
    const CPixelBuffer& mask = *face.m_dialog.m_bmpMask.Pixels();
    for (const RECT& r : kShapes) {
        int black = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x)
                black += mask.At(x, y) == 0;
        }
        EXPECT_GT(black, (r.right - r.left) * (r.bottom - r.top) / 2) << r.left << "," << r.top;
        EXPECT_NE(mask.At(r.left, r.top), 0u) << "rounded corner " << r.left << "," << r.top;
    }
}

TEST_F(SkinFace, TheStartUpFaceMatchesTheCommittedPicture)
{
    if (ResolvedFontFamily(face.m_fontSmall.GetFont()) != L"Liberation Sans")
        GTEST_SKIP() << "the picture was made with Liberation Sans (fonts-liberation2), which is missing";
    EXPECT_EQ(CountControls(face.m_dialog.m_pControls), 22);
    CPixelBuffer golden;
    const CString path = CString::FromUtf8(std::string(TABRINO_SOURCE_DIR) + "/docs/face.png");
    ASSERT_TRUE(ReadPng(path, golden)) << "regenerate with: build/default/tools/tabrino-face docs/face.png";
    ASSERT_EQ(golden.width, 240);
    ASSERT_EQ(golden.height, 268);
    int differing = 0;
    for (size_t i = 0; i < golden.pixels.size(); ++i)
        differing += golden.pixels[i] != Hwnd()->surface.pixels[i];
    EXPECT_EQ(differing, 0) << "the face changed; if that was meant, regenerate with: "
                               "build/default/tools/tabrino-face docs/face.png";
}

TEST_F(SkinFace, PaintDrawsEveryControlOverWhateverTheWindowShows)
{
    std::fill(Hwnd()->surface.pixels.begin(), Hwnd()->surface.pixels.end(), 0x00123456u);
    SendMessageW(Hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(Screen(39, 165), Skin(face.m_dialog.m_bmpNormal, 39, 165)) << "a clean button";
    EXPECT_EQ(Screen(12, 70), Skin(face.m_dialog.m_bmpNormal, 12, 70)) << "a text field's background";
    EXPECT_EQ(Screen(100, 12), 0u) << "the meter's field";
    EXPECT_EQ(Screen(9, 146), 0x00123456u) << "outside every control nothing is painted";
    EXPECT_EQ(Screen(2, 264), 0x00123456u);
}

TEST_F(SkinFace, ADirtyOnlyRedrawTouchesOnlyTheChangedField)
{
    // What the window is told to show anew, which is what it repaints.
    RecordingBackend recorder;
    Hwnd()->backend = &recorder;
    CSkinText* tempo = face.m_layout.m_pTempoText;
    EXPECT_FALSE(tempo->SetText(L"90")) << "same text after drawing: nothing to do";
    const auto before = Hwnd()->surface.pixels;
    EXPECT_TRUE(tempo->SetText(L"300"));
    {
        CClientDC dc(&face.m_dialog);
        face.m_dialog.RedrawControls(&dc, FALSE);
    }
    ASSERT_EQ(recorder.changed.size(), 1u);
    EXPECT_EQ(recorder.changed[0].left, tempo->m_rect.left);
    EXPECT_EQ(recorder.changed[0].top, tempo->m_rect.top);
    EXPECT_EQ(recorder.changed[0].right, tempo->m_rect.right);
    EXPECT_EQ(recorder.changed[0].bottom, tempo->m_rect.bottom);
    // With nothing dirty, nothing is shown anew.
    {
        CClientDC dc(&face.m_dialog);
        face.m_dialog.RedrawControls(&dc, FALSE);
    }
    EXPECT_EQ(recorder.changed.size(), 1u);
    Hwnd()->backend = nullptr;
    int changed = 0;
    for (int y = 0; y < 268; ++y) {
        for (int x = 0; x < 240; ++x) {
            if (Hwnd()->surface.At(x, y) != before[static_cast<size_t>(y) * 240 + x]) {
                ++changed;
                ASSERT_TRUE(PtInRect(&tempo->m_rect, POINT { x, y })) << x << "," << y;
            }
        }
    }
    EXPECT_GT(changed, 0);

    // Back to a short text: the longer one leaves no trace.
    tempo->SetText(L"9");
    {
        CClientDC dc(&face.m_dialog);
        face.m_dialog.RedrawControls(&dc, FALSE);
    }
    CFaceRenderer fresh;
    fresh.m_layout.m_pTempoText->SetText(L"9");
    ASSERT_TRUE(fresh.Render());
    EXPECT_EQ(Hwnd()->surface.pixels, fresh.Pixels().pixels);
}
