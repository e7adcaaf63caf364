#include "player/CTransport.h"

#include "platform/core/TickCount.h"
#include "platform/ui/WindowHandle.h"
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
    const LONGLONG length = m_state.m_length;
    if (m_state.m_playState != STATE_STOPPED || length <= 0)
        return FALSE;
    LONGLONG current = m_state.m_currentTick;
    m_state.m_startTick = current >= length ? 0 : current;
    std::int32_t stopped = STATE_STOPPED;
    if (!m_state.m_playState.compare_exchange_strong(stopped, STATE_START))
        return FALSE;
    m_state.Wake();
    return TRUE;
}

void CTransport::Stop()
{
    if (!m_playerRuns) {
        m_state.m_playState = STATE_STOPPED;
        return;
    }
    Request(STATE_STOP);
    while (m_state.m_playState != STATE_STOPPED)
        Sleep(1);
}

void CTransport::SetPosition(LONGLONG tick)
{
    // The tracks follow the position only when the player thread seeks them:
    // whatever runs or is about to run is stopped and started again there.
    const std::int32_t code = m_state.m_playState;
    const bool ran = code == STATE_PLAYING || code == STATE_START || code == STATE_RESYNC;
    if (code != STATE_STOPPED)
        Stop();
    m_state.m_startTick = tick;
    m_state.m_currentTick = tick;
    PostDisplayRefresh();
    if (ran)
        Request(STATE_START);
}

BOOL CTransport::SetTempo(std::int32_t bpm)
{
    bpm = std::clamp(bpm, MIN_BPM, MAX_BPM);
    if (bpm == m_state.m_bpm)
        return FALSE;
    m_state.SetTempo(bpm);
    // The thread's sleep was measured at the old tempo.
    m_state.Wake();
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
    if (m_state.m_playState.compare_exchange_strong(playing, STATE_RESYNC))
        m_state.Wake();
    return TRUE;
}

BOOL CTransport::StepTranspose(std::int32_t step)
{
    return SetTranspose(m_state.m_transpose + step);
}

void CTransport::AdoptSong(const CTrack* tracks)
{
    m_state.AdoptSong(tracks);
    m_state.m_length = CSongInfo::FromTracks(tracks).m_length;
}

void CTransport::Request(std::int32_t code)
{
    m_state.m_playState = code;
    m_state.Wake();
}

void CTransport::PostDisplayRefresh()
{
    if (m_hwnd)
        PostMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(1005, 0), reinterpret_cast<LPARAM>(m_hwnd));
}
