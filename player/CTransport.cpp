#include "player/CTransport.h"

#include "platform/core/TickCount.h"
#include "platform/ui/WindowHandle.h"
#include "player/CPlayerState.h"
#include "song/CSongInfo.h"

#include <algorithm>

CTransport::CTransport(CPlayerState& state, HWND hwnd, BOOL playerRuns)
    : m_state(state)
    , m_hwnd(hwnd)
    , m_playerRuns(playerRuns)
{
}

BOOL CTransport::Play()
{
    if (m_state.m_playState != STATE_STOPPED)
        return FALSE;
    LONGLONG current = m_state.m_currentTick;
    m_state.m_startTick = current >= m_state.m_length ? 0 : current;
    std::int32_t stopped = STATE_STOPPED;
    return m_state.m_playState.compare_exchange_strong(stopped, STATE_START) ? TRUE : FALSE;
}

void CTransport::Stop()
{
    if (!m_playerRuns) {
        m_state.m_playState = STATE_STOPPED;
        return;
    }
    m_state.m_playState = STATE_STOP;
    while (m_state.m_playState != STATE_STOPPED)
        Sleep(1);
}

void CTransport::SetPosition(LONGLONG tick)
{
    bool ran = false;
    if (m_state.m_playState == STATE_PLAYING) {
        Stop();
        ran = true;
    }
    m_state.m_startTick = tick;
    m_state.m_currentTick = tick;
    PostDisplayRefresh();
    if (ran)
        m_state.m_playState = STATE_START;
}

BOOL CTransport::SetTempo(std::int32_t bpm)
{
    bpm = std::clamp(bpm, MIN_BPM, MAX_BPM);
    if (bpm == m_state.m_bpm)
        return FALSE;
    m_state.SetTempo(bpm);
    PostDisplayRefresh();
    return TRUE;
}

BOOL CTransport::StepTempo(std::int32_t step)
{
    return SetTempo(m_state.m_bpm + step);
}

BOOL CTransport::SetTranspose(std::int32_t semitones)
{
    semitones = std::clamp(semitones, -MAX_TRANSPOSE, MAX_TRANSPOSE);
    if (semitones == m_state.m_transpose)
        return FALSE;
    m_state.m_transpose = semitones;
    PostDisplayRefresh();
    // Notes sounding at the old pitch are cut by the player thread.
    std::int32_t playing = STATE_PLAYING;
    m_state.m_playState.compare_exchange_strong(playing, STATE_RESYNC);
    return TRUE;
}

BOOL CTransport::StepTranspose(std::int32_t step)
{
    return SetTranspose(m_state.m_transpose + step);
}

void CTransport::AdoptSong(const CTrack* tracks)
{
    CSongInfo info = CSongInfo::FromTracks(tracks);
    if (info.m_bpm != -1)
        m_state.m_bpm = info.m_bpm;
    m_state.m_length = info.m_length;
}

void CTransport::PostDisplayRefresh()
{
    if (m_hwnd)
        PostMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(1005, 0), reinterpret_cast<LPARAM>(m_hwnd));
}
