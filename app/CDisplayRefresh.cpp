#include "app/CDisplayRefresh.h"

#include "app/CTabrinoDlg.h"
#include "platform/core/FormatString.h"
#include "platform/core/TickCount.h"
#include "platform/gdi/CClientDC.h"
#include "player/CPlayerEngine.h"
#include "player/CPositionText.h"
#include "skin/CSkinMeter.h"
#include "skin/CSkinSlider.h"
#include "skin/CSkinText.h"

namespace {

CString Number(std::int32_t value)
{
    CString text;
    FormatString(text, L"%d", value);
    return text;
}

BOOL SetText(CSkinText* field, const CString& text)
{
    return field ? field->SetText(text) : FALSE;
}

}

CDisplayRefresh::CDisplayRefresh(CTabrinoDlg& dialog)
    : m_dialog(dialog)
{
}

LONGLONG CDisplayRefresh::SeekTick(LONGLONG length, LONGLONG ppqn, int value)
{
    if (ppqn <= 0)
        ppqn = 1;
    LONGLONG tick = (length * value / 1000) / ppqn * ppqn;
    if (tick > length)
        tick = length;
    if (tick < 0)
        tick = 0;
    return tick;
}

int CDisplayRefresh::SliderValue(LONGLONG tick, LONGLONG length)
{
    return length > 0 ? static_cast<int>(tick * 1000 / length) : 0;
}

void CDisplayRefresh::UpdateDisplay()
{
    const DWORD now = GetTickCount();
    if (!CPlayerEngine::RefreshDue(now, m_dialog.m_dwLastRefresh))
        return;
    CPlayerState& state = m_dialog.m_playerState;
    const LONGLONG ppqn = state.m_ppqn;
    const LONGLONG usPerQuarter = state.m_usPerQuarter;
    const LONGLONG tick = state.m_currentTick;
    const LONGLONG length = state.m_length;

    BOOL dirty = SetText(m_dialog.m_pPositionBeat, CPositionText::BarBeatTick(tick, ppqn));
    CSkinSlider* slider = m_dialog.m_pPositionSlider;
    // While the user drags the thumb, the refresh leaves it where it is.
    if (slider && m_dialog.m_pCaptured != slider)
        dirty |= slider->SetValue(SliderValue(tick, length));
    dirty |= SetText(m_dialog.m_pPositionTime, CPositionText::Time(tick, ppqn, usPerQuarter));
    dirty |= SetText(m_dialog.m_pLengthBeat, CPositionText::BarBeatTick(length, ppqn));
    dirty |= SetText(m_dialog.m_pLengthTime, CPositionText::Time(length, ppqn, usPerQuarter));
    dirty |= SetText(m_dialog.m_pTransposeText, Number(state.m_transpose));
    dirty |= SetText(m_dialog.m_pTempoText, Number(state.m_bpm));
    if (dirty) {
        CClientDC dc(&m_dialog);
        m_dialog.RedrawControls(&dc, FALSE);
    }
    m_dialog.m_dwLastRefresh = GetTickCount();
}

void CDisplayRefresh::UpdateMeters()
{
    CPlayerState& state = m_dialog.m_playerState;
    if (!CPlayerEngine::RefreshDue(GetTickCount(), static_cast<DWORD>(state.m_lastMeterTime)))
        return;
    CSkinMeter* meter = m_dialog.m_pMeter;
    for (int channel = 0; channel < 16; ++channel) {
        // Taking the level also ages the channel's notes, so it happens
        // even when there is no meter to show it.
        const std::int32_t level = state.m_channels[channel].TakeLevel();
        if (meter)
            meter->SetLevel(channel, level, level);
    }
    if (meter) {
        CClientDC dc(&m_dialog);
        meter->DrawChanged(&dc);
    }
    state.m_lastMeterTime = static_cast<LONGLONG>(GetTickCount());
}

void CDisplayRefresh::ShowSong()
{
    CPlayerState& state = m_dialog.m_playerState;
    const LONGLONG ppqn = state.m_ppqn;
    const LONGLONG usPerQuarter = state.m_usPerQuarter;
    const LONGLONG length = state.m_length;
    SetText(m_dialog.m_pTransposeText, Number(state.m_transpose));
    SetText(m_dialog.m_pPositionBeat, L"1.1.000");
    SetText(m_dialog.m_pPositionTime, L"00:00:00,0");
    SetText(m_dialog.m_pLengthBeat, CPositionText::BarBeatTick(length, ppqn));
    SetText(m_dialog.m_pLengthTime, CPositionText::Time(length, ppqn, usPerQuarter));
}
