#include "app/CDisplayRefresh.h"

#include "app/CTabrinoDlg.h"
#include "platform/core/FormatString.h"
#include "platform/core/TickCount.h"
#include "platform/gdi/CClientDC.h"
#include "platform/ui/Timer.h"
#include "player/CPlayerEngine.h"
#include "player/CPositionText.h"
#include "skin/CSkinMeter.h"
#include "skin/CSkinSlider.h"
#include "skin/CSkinText.h"

#include <algorithm>

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

LONGLONG CDisplayRefresh::SeekTick(LONGLONG length, const CMeterMap& meter, int value)
{
    if (length <= 0)
        return 0;
    value = std::clamp(value, 0, 1000);
    // length x value / 1000 without a product that could overflow.
    LONGLONG tick = length / 1000 * value + length % 1000 * value / 1000;
    return std::clamp<LONGLONG>(meter.BeatStart(tick), 0, length);
}

int CDisplayRefresh::SliderValue(LONGLONG tick, LONGLONG length)
{
    if (length <= 0)
        return 0;
    tick = std::clamp<LONGLONG>(tick, 0, length);
    // The product of a damaged song's huge ticks needs more than 64 bits.
    __extension__ typedef __int128 Wide;
    return static_cast<int>(static_cast<Wide>(tick) * 1000 / length);
}

void CDisplayRefresh::UpdateDisplay()
{
    const DWORD now = GetTickCount();
    if (!CPlayerEngine::RefreshDue(now, m_dialog.m_dwLastRefresh)) {
        // Too soon after the last one: the refresh timer or the player
        // thread runs it once it is due.
        m_dialog.m_bDisplayPending = TRUE;
        if (!m_dialog.m_bRefreshTimer)
            m_dialog.m_playerState.Wake();
        return;
    }
    // Cleared before the state is read, so a change made meanwhile asks for
    // another refresh.
    m_dialog.m_bDisplayPending = FALSE;
    CPlayerState& state = m_dialog.m_playerState;
    // The position now: the player thread samples the clock only when it
    // wakes for the song's events.
    const LONGLONG tick = state.SampleClock(CPlayerState::Now());
    const LONGLONG length = state.m_length;

    BOOL dirty = SetText(m_dialog.m_pPositionBeat, CPositionText::BarBeatTick(tick, state.m_meterMap));
    CSkinSlider* slider = m_dialog.m_pPositionSlider;
    // While the user drags the thumb, the refresh leaves it where it is.
    if (slider && m_dialog.m_pCaptured != slider)
        dirty |= slider->SetValue(SliderValue(tick, length));
    dirty |= SetText(m_dialog.m_pPositionTime, TimeText(tick));
    dirty |= SetText(m_dialog.m_pLengthBeat, CPositionText::BarBeatTick(length, state.m_meterMap));
    dirty |= SetText(m_dialog.m_pLengthTime, TimeText(length));
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
    bool atRest = true;
    for (int channel = 0; channel < 16; ++channel) {
        // Taking the level also ages the channel's notes, so it happens
        // even when there is no meter to show it.
        const std::int32_t level = state.m_channels[channel].TakeLevel();
        atRest = atRest && level == -10000;
        if (meter)
            meter->SetLevel(channel, level, level);
    }
    if (meter) {
        CClientDC dc(&m_dialog);
        meter->DrawChanged(&dc);
        atRest = atRest && meter->AtRest();
    }
    m_dialog.m_bMetersMoving = atRest ? FALSE : TRUE;
    state.m_lastMeterTime = static_cast<LONGLONG>(GetTickCount());
}

void CDisplayRefresh::Pace()
{
    const bool wanted = m_dialog.m_bRefresh
        && (m_dialog.m_playerState.m_playState != STATE_STOPPED || m_dialog.m_bDisplayPending
            || m_dialog.m_bMetersMoving);
    const HWND hwnd = m_dialog.GetSafeHwnd();
    if (wanted && SetTimer(hwnd, TIMER_ID, CPlayerEngine::REFRESH_INTERVAL + 1, nullptr)) {
        // Set anew after each refresh, so the next one is due when it comes.
        m_dialog.m_bRefreshTimer = TRUE;
    } else if (m_dialog.m_bRefreshTimer) {
        KillTimer(hwnd, TIMER_ID);
        m_dialog.m_bRefreshTimer = FALSE;
        // The player thread looks again whether a refresh is wanted.
        m_dialog.m_playerState.Wake();
    }
}

void CDisplayRefresh::ShowSong()
{
    CPlayerState& state = m_dialog.m_playerState;
    const LONGLONG length = state.m_length;
    SetText(m_dialog.m_pTransposeText, Number(state.m_transpose));
    SetText(m_dialog.m_pPositionBeat, L"1.1.000");
    SetText(m_dialog.m_pPositionTime, L"00:00:00,0");
    SetText(m_dialog.m_pLengthBeat, CPositionText::BarBeatTick(length, state.m_meterMap));
    SetText(m_dialog.m_pLengthTime, TimeText(length));
    // The tempo and the position slider follow with the next refresh.
    m_dialog.m_bDisplayPending = TRUE;
    m_dialog.m_playerState.Wake();
}

CString CDisplayRefresh::TimeText(LONGLONG tick) const
{
    CPlayerState& state = m_dialog.m_playerState;
    return CPositionText::Time(tick, state.m_tempoMap, state.m_ppqn, state.m_usPerQuarter);
}
