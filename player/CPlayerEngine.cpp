#include "player/CPlayerEngine.h"

#include "app/CTabrinoDlg.h"
#include "platform/core/TickCount.h"
#include "platform/ui/WindowHandle.h"
#include "song/CTrack.h"

namespace {

// The dialog may write a new request while the thread answers the old one;
// the answer replaces only the request it answers, so a stop written
// meanwhile is never lost.
void Answer(CPlayerState& state, std::int32_t request, std::int32_t answer)
{
    state.m_playState.compare_exchange_strong(request, answer);
}

}

DWORD CPlayerEngine::RunPeriod(CTabrinoDlg& dialog)
{
    CPlayerState& state = dialog.m_playerState;
    HandleRequest(dialog);
    DWORD sleep = IDLE_PERIOD;
    if (state.m_playState == STATE_PLAYING) {
        Play(dialog);
        sleep = PLAYING_PERIOD;
    }
    PostRefreshes(dialog);
    return sleep;
}

void CPlayerEngine::Period(CTabrinoDlg& dialog)
{
    SleepToNextTick(RunPeriod(dialog));
}

void CPlayerEngine::HandleRequest(CTabrinoDlg& dialog)
{
    CPlayerState& state = dialog.m_playerState;
    switch (state.m_playState.load()) {
    case STATE_START: {
        dialog.m_output.Start();
        state.AnchorClock(GetTickCount());
        Answer(state, STATE_START, STATE_PLAYING);
        LONGLONG tick = state.m_startTick;
        dialog.m_metronome.Reset(&dialog.m_output, &state, tick);
        SeekTracks(dialog, tick);
        break;
    }
    case STATE_STOP:
        dialog.m_output.Stop();
        state.ClearNotes();
        state.m_playState = STATE_STOPPED;
        break;
    case STATE_RESYNC:
        dialog.m_output.Pause();
        state.ClearNotes();
        Answer(state, STATE_RESYNC, STATE_PLAYING);
        break;
    default:
        break;
    }
}

void CPlayerEngine::Play(CTabrinoDlg& dialog)
{
    CPlayerState& state = dialog.m_playerState;
    if (dialog.m_output.WriteFailed()) {
        // Playing on into a port that takes nothing would only look as if it
        // worked: playback stops and the window tells why.
        dialog.m_output.Stop();
        state.ClearNotes();
        Answer(state, STATE_PLAYING, STATE_STOPPED);
        HWND hwnd = dialog.GetSafeHwnd();
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(OUTPUT_FAILED, 0), reinterpret_cast<LPARAM>(hwnd));
        return;
    }
    LONGLONG previous = 0;
    LONGLONG tick = state.AdvanceClock(GetTickCount(), &previous);
    LONGLONG length = state.m_length;
    if (length != 0 && tick >= length) {
        // Events at the very last tick are not sent; the all-off of Stop
        // silences what still sounds.
        dialog.m_output.Stop();
        Answer(state, STATE_PLAYING, STATE_STOPPED);
        return;
    }
    LONGLONG loopStart = state.m_loopStart;
    LONGLONG loopEnd = state.m_loopEnd;
    if (state.m_loopEnabled && loopStart < loopEnd && previous <= loopEnd && loopEnd <= tick) {
        state.JumpClock(GetTickCount(), loopStart);
        tick = loopStart;
        dialog.m_metronome.Reset(&dialog.m_output, &state, tick);
        SeekTracks(dialog, tick);
    }
    dialog.m_metronome.Tick(&dialog.m_output, &state, tick);
    CRing::ForEach(dialog.m_pTracks,
        [&](CTrack* track) { track->PlayUntil(&dialog.m_output, &dialog, &state, tick); });
}

void CPlayerEngine::SeekTracks(CTabrinoDlg& dialog, LONGLONG tick)
{
    CRing::ForEach(dialog.m_pTracks,
        [&](CTrack* track) { track->SeekTo(&dialog.m_output, &dialog, &dialog.m_playerState, tick); });
}

void CPlayerEngine::PostRefreshes(CTabrinoDlg& dialog)
{
    if (!dialog.m_bRefresh)
        return;
    HWND hwnd = dialog.GetSafeHwnd();
    auto post = [hwnd](WORD command) {
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(command, 0), reinterpret_cast<LPARAM>(hwnd));
    };
    if (RefreshDue(GetTickCount(), dialog.m_dwLastRefresh))
        post(1005);
    if (RefreshDue(GetTickCount(), static_cast<DWORD>(dialog.m_playerState.m_lastMeterTime)))
        post(1004);
}
