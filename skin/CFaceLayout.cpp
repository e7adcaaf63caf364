#include "skin/CFaceLayout.h"

#include "skin/CSkinButton.h"
#include "skin/CSkinDialog.h"
#include "skin/CSkinLoopMarks.h"
#include "skin/CSkinMeter.h"
#include "skin/CSkinSlider.h"
#include "skin/CSkinText.h"

namespace {

constexpr UINT kTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kDarkBlue = RGB(0, 0, 127);
constexpr COLORREF kDarkRed = RGB(127, 0, 0);
constexpr COLORREF kGrey = RGB(127, 127, 127);

void RepeatWhenHeld(CSkinButton* button)
{
    button->m_bRepeat = TRUE;
}

}

void CFaceLayout::CreateFonts(CFont& small, CFont& large)
{
    small.CreateFont(16, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Arial");
    large.CreateFont(26, 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Arial");
}

void CFaceLayout::Create(CSkinDialog& d, CFont* small, CFont* large)
{
    CBitmap* n = &d.m_bmpNormal;
    CBitmap* p = &d.m_bmpPressed;
    CBitmap* m = &d.m_bmpMask;
    d.AddButton(1000, n, p, m, RECT { 9, 146, 69, 185 });
    d.AddButton(1019, n, p, m, RECT { 76, 149, 136, 188 });
    d.AddButton(1001, n, p, m, RECT { 79, 192, 139, 252 });
    d.AddButton(1002, n, p, m, RECT { 10, 193, 70, 253 });
    m_pPositionSlider = d.AddSlider(1013, POINT { 20, 135 }, POINT { 108, 135 }, POINT { 20, 135 }, n, p, m,
        RECT { 10, 125, 30, 145 });
    m_pVolumeSlider = d.AddSlider(1016, POINT { 218, 55 }, POINT { 218, 15 }, POINT { 218, 50 }, n, p, m,
        RECT { 208, 40, 228, 60 });
    d.AddText(L"Position", small, kBlack, kTextFormat, n, RECT { 10, 69, 117, 84 });
    m_pPositionBeat = d.AddText(L"1.1.000", small, kDarkBlue, kTextFormat, n, RECT { 10, 84, 117, 99 });
    m_pPositionTime = d.AddText(L"00:00:00,0", small, kDarkRed, kTextFormat, n, RECT { 10, 99, 117, 114 });
    d.AddText(L"Length", small, kBlack, kTextFormat, n, RECT { 120, 69, 230, 84 });
    m_pLengthBeat = d.AddText(L"1.1.000", small, kDarkBlue, kTextFormat, n, RECT { 120, 84, 230, 99 });
    m_pLengthTime = d.AddText(L"00:00:00,0", small, kDarkRed, kTextFormat, n, RECT { 120, 99, 230, 114 });
    d.AddText(L"Tempo", small, kBlack, kTextFormat, n, RECT { 148, 128, 229, 143 });
    m_pTempoText = d.AddText(L"90", large, kGrey, kTextFormat, n, RECT { 153, 157, 203, 172 });
    RepeatWhenHeld(d.AddButton(1017, n, p, m, RECT { 199, 144, 220, 164 }));
    RepeatWhenHeld(d.AddButton(1018, n, p, m, RECT { 199, 164, 220, 184 }));
    d.AddText(L"Transpose", small, kBlack, kTextFormat, n, RECT { 148, 202, 229, 217 });
    m_pTransposeText = d.AddText(L"0", large, kGrey, kTextFormat, n, RECT { 153, 231, 203, 246 });
    RepeatWhenHeld(d.AddButton(1015, n, p, m, RECT { 199, 217, 220, 237 }));
    RepeatWhenHeld(d.AddButton(1016, n, p, m, RECT { 199, 237, 220, 257 }));
    m_pMeter = d.AddMeter(16, kMeterRect);
    // The scale strip under the readouts: its tick marks run from the
    // position track's start (column 20) to its end (column 108).
    m_pLoopMarks = d.AddLoopMarks(RECT { 20, 118, 109, 124 });
    m_pPositionSlider->m_bTrackClick = TRUE;
}
