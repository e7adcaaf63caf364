#include "platform/core/DrivenTickCount.h"
#include "platform/gdi/CClientDC.h"
#include "platform/gdi/PngFile.h"
#include "platform/gdi/TextRaster.h"
#include "platform/ui/Timer.h"
#include "platform/ui/WindowHandle.h"
#include "skin/CFaceRenderer.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinSlider.h"
#include "skin/CSkinText.h"
#include "tests/PostedMessages.h"
#include "tests/RecordingBackend.h"

#include <gtest/gtest.h>

// The start-up face, painted once, with helpers to tap it and read what the
// controls posted.
class SkinFace : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(face.Render()) << "skin resources missing";
        Drain();
    }
    HWND Hwnd() { return face.m_dialog.m_hWnd; }
    void Send(UINT message, int x, int y)
    {
        SendMessageW(Hwnd(), message, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    void Down(int x, int y) { Send(WM_LBUTTONDOWN, x, y); }
    void Move(int x, int y) { Send(WM_MOUSEMOVE, x, y); }
    void Up(int x, int y) { Send(WM_LBUTTONUP, x, y); }
    std::vector<MSG> Drain() { return DrainPostedMessages(Hwnd()); }
    // The slider notifications posted: (slider id, code, value) each.
    std::vector<std::tuple<WPARAM, int, int>> SliderNotes()
    {
        std::vector<std::tuple<WPARAM, int, int>> notes;
        for (const MSG& m : Drain()) {
            EXPECT_EQ(m.message, static_cast<UINT>(WM_SKIN_SLIDER));
            notes.emplace_back(m.wParam, HIWORD(static_cast<std::uintptr_t>(m.lParam)), LOWORD(static_cast<std::uintptr_t>(m.lParam)));
        }
        return notes;
    }
    void Redraw()
    {
        CClientDC dc(&face.m_dialog);
        face.m_dialog.RedrawControls(&dc, FALSE);
    }
    CSkinButton* Button(UINT id)
    {
        CSkinButton* found = nullptr;
        CRing::ForEach(face.m_dialog.m_pControls, [&](CSkinControl* c) {
            if (c->m_kind == SKIN_BUTTON && static_cast<CSkinButton*>(c)->m_nId == id)
                found = static_cast<CSkinButton*>(c);
        });
        return found;
    }
    std::uint32_t Screen(int x, int y) { return Hwnd()->surface.At(x, y); }
    std::uint32_t Normal(int x, int y) { return face.m_dialog.m_bmpNormal.Pixels()->At(x, y); }
    std::uint32_t Pressed(int x, int y) { return face.m_dialog.m_bmpPressed.Pixels()->At(x, y); }

    CFaceRenderer face;
};

namespace {

// The open button: (9, 146, 69, 185); its corners are outside its shape.
constexpr int kOpenX = 39, kOpenY = 165;

}

TEST_F(SkinFace, TheStartUpFaceMatchesTheCommittedPictureAndItsMaskHoldsEveryShape)
{
    // Every control's shape is black in the mask (its corners rounded off),
    // so the hit test finds it; a mask regenerated off the layout would not.
    const CPixelBuffer& mask = *face.m_dialog.m_bmpMask.Pixels();
    for (const RECT& r : { RECT { 9, 146, 69, 185 }, RECT { 76, 149, 136, 188 }, RECT { 79, 192, 139, 252 },
             RECT { 10, 193, 70, 253 }, RECT { 199, 144, 220, 164 }, RECT { 199, 164, 220, 184 },
             RECT { 199, 217, 220, 237 }, RECT { 199, 237, 220, 257 }, RECT { 10, 125, 30, 145 }, RECT { 208, 40, 228, 60 } }) {
        int black = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x)
                black += mask.At(x, y) == 0;
        }
        EXPECT_GT(black, (r.right - r.left) * (r.bottom - r.top) / 2) << r.left << "," << r.top;
        EXPECT_NE(mask.At(r.left, r.top), 0u) << "rounded corner " << r.left << "," << r.top;
    }
    if (ResolvedFontFamily(face.m_fontSmall.GetFont()) != L"Liberation Sans")
        GTEST_SKIP() << "the picture was made with Liberation Sans (fonts-liberation2), which is missing";
    CPixelBuffer golden;
    ASSERT_TRUE(ReadPng(CString::FromUtf8(std::string(TABRINO_SOURCE_DIR) + "/docs/face.png"), golden));
    EXPECT_TRUE(golden.pixels == Hwnd()->surface.pixels) << "the face changed; if that was meant, regenerate with: "
                                                        "build/default/tools/tabrino-face docs/face.png";
}

TEST_F(SkinFace, PaintDrawsEveryControlOverWhateverTheWindowShows)
{
    std::fill(Hwnd()->surface.pixels.begin(), Hwnd()->surface.pixels.end(), 0x00123456u);
    SendMessageW(Hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(Screen(39, 165), Normal(39, 165)) << "a clean button";
    EXPECT_EQ(Screen(12, 70), Normal(12, 70)) << "a text field's background";
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
    Redraw();
    Redraw(); // with nothing dirty, nothing is shown anew
    ASSERT_EQ(recorder.changed.size(), 1u);
    const RECT& shown = recorder.changed[0];
    EXPECT_EQ(std::tie(shown.left, shown.top, shown.right, shown.bottom),
        std::tie(tempo->m_rect.left, tempo->m_rect.top, tempo->m_rect.right, tempo->m_rect.bottom));
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
    Redraw();
    CFaceRenderer fresh;
    fresh.m_layout.m_pTempoText->SetText(L"9");
    ASSERT_TRUE(fresh.Render());
    EXPECT_EQ(Hwnd()->surface.pixels, fresh.Pixels().pixels);
}

// A button shows its pressed picture while the stylus holds it and posts its
// command once, when lifted on its shape; a second stylus is ignored.
TEST_F(SkinFace, AButtonPostsItsCommandWhenLiftedOnItsShape)
{
    CSkinButton* open = Button(1000);
    Down(kOpenX, kOpenY);
    EXPECT_EQ(std::make_tuple(face.m_dialog.m_pCaptured, GetCapture()), std::make_tuple(static_cast<CSkinControl*>(open), Hwnd()));
    EXPECT_EQ(Screen(kOpenX, kOpenY), Pressed(kOpenX, kOpenY)) << "pressed picture shown";
    Down(109, 222); // the play button
    EXPECT_FALSE(Button(1001)->m_bPressed);
    Move(120, 20);
    EXPECT_FALSE(open->m_bPressed);
    EXPECT_EQ(Screen(kOpenX, kOpenY), Normal(kOpenX, kOpenY)) << "rest picture returns";
    EXPECT_TRUE(Drain().empty());
    Move(kOpenX + 5, kOpenY);
    EXPECT_TRUE(open->m_bPressed);
    Up(kOpenX + 5, kOpenY);
    auto posted = Drain();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(std::make_tuple(posted[0].message, posted[0].wParam, posted[0].lParam),
        std::make_tuple(static_cast<UINT>(WM_COMMAND), WPARAM(1000), reinterpret_cast<LPARAM>(Hwnd())));
    EXPECT_EQ(std::make_tuple(face.m_dialog.m_pCaptured, GetCapture()), std::make_tuple(nullptr, HWND(nullptr)));
    EXPECT_EQ(Screen(kOpenX, kOpenY), Normal(kOpenX, kOpenY));
    // Lifted off the shape, on its rounded corner, it posts nothing.
    Down(kOpenX, kOpenY);
    Move(9, 146);
    Up(9, 146);
    EXPECT_TRUE(Drain().empty());
    EXPECT_FALSE(open->m_bPressed);
}

// A held step button repeats after 400 ms, then every 80 ms, on the window
// timer; a short click sends its command once, on the lift.
TEST_F(SkinFace, HeldStepButtonsRepeatOnTheWindowTimer)
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
    Down(209, 154); // tempo up: (199, 144, 220, 164)
    for (const auto& [advance, count] : { std::pair { 399u, 0 }, { 1u, 1 }, { 79u, 0 }, { 1u, 1 }, { 80u, 1 }, { 400u, 1 } }) {
        clock.Advance(advance);
        EXPECT_EQ(commands(), count) << "after " << advance;
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

TEST_F(SkinFace, SliderValuesFollowTheProjectionOntoTheTrack)
{
    CSkinSlider *position = face.m_layout.m_pPositionSlider, *volume = face.m_layout.m_pVolumeSlider;
    struct Case {
        CSkinSlider* slider;
        int x, y, value, slack; // the foot of a perpendicular may round either way
        const char* what;
    };
    for (const Case& c : { Case { position, 64, 135, 500, 0, "on the track" }, Case { position, 108, 135, 1000, 0, "at the end" },
             Case { position, 5, 135, 0, 0, "behind the start" }, Case { position, 230, 135, 1000, 0, "beyond the end" },
             Case { position, 42, 160, 250, 1, "beside: the foot of the perpendicular" },
             Case { position, 20, 135, 0, 0, "exactly on the start" }, Case { volume, 218, 55, 0, 0, "volume at rest" },
             Case { volume, 218, 35, 500, 0, "upwards is louder" }, Case { volume, 218, 15, 1000, 0, "volume at the top" } })
        EXPECT_NEAR(c.slider->ValueAt(c.x, c.y), c.value, c.slack) << c.what;
    EXPECT_EQ(volume->ThumbRect().top, 5) << "volume 1000 stands 35 pixels above the rest place";
}

// A slider takes the stylus on its thumb's shape only, but the position
// track jumps to the tap; it posts down, each change and up, and takes no
// window capture.
TEST_F(SkinFace, ASliderDragPostsDownChangesAndUp)
{
    CSkinSlider* position = face.m_layout.m_pPositionSlider;
    Down(20, 135);
    EXPECT_EQ(std::make_tuple(face.m_dialog.m_pCaptured, GetCapture()), std::make_tuple(static_cast<CSkinControl*>(position), HWND(nullptr)));
    Move(64, 135);
    Move(64, 150); // the same value beside the track
    Move(20, 135); // back onto the start: 0, not a failed arc cosine
    Up(300, 300);
    using Notes = std::vector<std::tuple<WPARAM, int, int>>;
    EXPECT_EQ(SliderNotes(), (Notes { { 1013, SLIDER_NOTIFY_DOWN, 0 }, { 1013, SLIDER_NOTIFY_DRAG, 500 },
                                 { 1013, SLIDER_NOTIFY_DRAG, 0 }, { 1013, SLIDER_NOTIFY_UP, 0 } }));
    EXPECT_EQ(face.m_dialog.m_pCaptured, nullptr);
    const RECT thumb = face.m_layout.m_pVolumeSlider->ThumbRect();
    Down(thumb.left, thumb.top); // the corner of the volume thumb's box, off its shape
    Down(218, 45); // on the volume track below its thumb
    Down(64, 122); // above the position track
    EXPECT_EQ(face.m_dialog.m_pCaptured, nullptr);
    EXPECT_TRUE(Drain().empty());
    Down(64, 135); // on the position track, halfway, beside the thumb
    Up(64, 135);
    EXPECT_EQ(SliderNotes(), (Notes { { 1013, SLIDER_NOTIFY_DOWN, 0 }, { 1013, SLIDER_NOTIFY_DRAG, 500 }, { 1013, SLIDER_NOTIFY_UP, 500 } }));
    Down(218, 15); // the volume thumb stands at the top
    Up(218, 15);
    EXPECT_EQ(SliderNotes(), (Notes { { 1016, SLIDER_NOTIFY_DOWN, 1000 }, { 1016, SLIDER_NOTIFY_UP, 1000 } }));
}

TEST_F(SkinFace, SetValueMovesTheThumbOnTheNextRedraw)
{
    CSkinSlider* position = face.m_layout.m_pPositionSlider;
    ASSERT_EQ(Screen(20, 135), Pressed(20, 135));
    EXPECT_TRUE(position->SetValue(500));
    EXPECT_TRUE(Drain().empty()) << "no notification";
    Redraw();
    EXPECT_EQ(Screen(20, 135), Normal(20, 135)) << "old thumb erased";
    EXPECT_EQ(Screen(64, 135), Pressed(20, 135)) << "thumb drawn at its new place";
    EXPECT_EQ(Screen(64 - 9, 126), Normal(64 - 9, 126)) << "outside its shape the face shows";
    EXPECT_FALSE(position->SetValue(500));
}
