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
    std::int32_t code = m_state.m_playState;
    // A stop the player thread has not answered yet (a slow device still
    // takes its all-off) gives way to the start: the thread cuts what
    // sounds before it starts.
    if ((code != STATE_STOPPED && code != STATE_STOP) || length <= 0)
        return FALSE;
    LONGLONG current = m_state.m_currentTick;
    m_state.m_startTick = current >= length ? 0 : current;
    m_state.m_freshStart = TRUE;
    if (!m_state.m_playState.compare_exchange_strong(code, STATE_START))
        return FALSE;
    m_state.Wake();
    return TRUE;
}

void CTransport::Stop()
{
    // The clock stands at once, so the position stays where the user
    // stopped; the player thread sends the all-off when the device lets it.
    m_state.FreezeClock(CPlayerState::Now());
    if (!m_playerRuns) {
        m_state.Answer(m_state.m_playState, STATE_STOPPED);
        return;
    }
    Request(STATE_STOP);
}

BOOL CTransport::StopAndWait(DWORD milliseconds)
{
    Stop();
    return m_state.WaitStopped(milliseconds);
}

void CTransport::SetPosition(LONGLONG tick)
{
    // The tracks follow the position only when the player thread seeks them:
    // whatever runs or is about to run starts again there, and the thread
    // cuts what sounds first. Nothing here waits for the thread.
    const std::int32_t code = m_state.m_playState;
    const bool ran = code == STATE_PLAYING || code == STATE_START || code == STATE_RESYNC || code == STATE_REPLAYING;
    m_state.MoveClock(tick);
    PostDisplayRefresh();
    if (ran && m_playerRuns)
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
