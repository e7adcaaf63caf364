#include "player/CPlayerEngine.h"

#include "platform/core/CThreadState.h"
#include "platform/core/TickCount.h"
#include "platform/ui/WindowHandle.h"
#include "player/CPlayerHost.h"
#include "player/CTrackPlayer.h"
#include "song/CSongState.h"
#include "song/CTrack.h"

#include <algorithm>
#include <tuple>
#include <cstdint>

namespace {

constexpr LONGLONG NO_WORK = INT64_MAX;

// A request the window wrote while the thread works: a stop, or a start
// elsewhere. What the thread is sending is cut short, so a slow device does
// not hold it.
BOOL RequestPending(const CPlayerState& state)
{
    const std::int32_t code = state.m_playState;
    return code != STATE_PLAYING && code != STATE_REPLAYING;
}

// Microseconds until a refresh whose command last ran (or was last posted)
// at tick count `last` is due; 0 when it is due now.
LONGLONG UntilRefresh(DWORD last, LONGLONG now)
{
    const auto ms = static_cast<DWORD>(static_cast<ULONGLONG>(now / 1000));
    if (CPlayerEngine::RefreshDue(ms, last))
        return 0;
    const DWORD remaining = CPlayerEngine::REFRESH_INTERVAL + 1 - (ms - last);
    return static_cast<LONGLONG>(remaining) * 1000 - now % 1000;
}

}

DWORD CPlayerEngine::RunPeriod(CPlayerHost& host)
{
    // The cut comes first: a start this period silences every channel
    // anyway, so a mute just before it sends nothing more. So does the
    // volume the user set meanwhile.
    host.m_output.SendPendingVolume();
    CutMutedChannels(host);
    HandleRequest(host);
    LONGLONG due = NO_WORK;
    if (host.m_playerState.m_playState == STATE_PLAYING)
        due = Play(host);
    due = std::min(due, PostRefreshes(host));
    if (due == NO_WORK)
        return INFINITE;
    // Counted from now, after the period's own work: a batch of messages
    // that took a while does not make the next one late.
    return static_cast<DWORD>(std::clamp<LONGLONG>(due - CPlayerState::Now(), 0, MAX_SLEEP));
}

void CPlayerEngine::Period(CPlayerHost& host)
{
    const DWORD sleep = RunPeriod(host);
    CheckpointWait(host.m_playerState.m_wake, sleep == INFINITE ? CSyncObject::FOREVER : sleep);
}

void CPlayerEngine::HandleRequest(CPlayerHost& host)
{
    CPlayerState& state = host.m_playerState;
    switch (state.m_playState.load()) {
    case STATE_START:
        Start(host);
        break;
    case STATE_STOP: {
        Halt(host);
        // The window learns that the song stopped: what waited for the
        // stop (a port chosen meanwhile, a song loaded meanwhile) goes on.
        if (state.Answer(STATE_STOP, STATE_STOPPED) && host.m_bRefresh) {
            const HWND hwnd = host.PlayerWindow();
            PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(STOPPED, 0), reinterpret_cast<LPARAM>(hwnd));
        }
        break;
    }
    case STATE_RESYNC:
        Resync(host);
        break;
    default:
        break;
    }
}

void CPlayerEngine::CutMutedChannels(CPlayerHost& host)
{
    // Taken in every state: while stopped nothing sounds, and a start
    // silences every channel anyway.
    CPlayerState& state = host.m_playerState;
    const std::uint32_t channels = state.m_cutChannels.exchange(0);
    if (channels == 0 || state.m_playState != STATE_PLAYING)
        return;
    for (int n = 0; n < 16; ++n) {
        if (channels & (1u << n)) {
            host.m_output.Silence(n);
            state.m_channels[n].ClearNotes();
        }
    }
}

void CPlayerEngine::Start(CPlayerHost& host)
{
    CPlayerState& state = host.m_playerState;
    // Taken at once: a stop or another start the window writes while the
    // replay goes on replaces it and cuts the replay short.
    if (!state.Answer(STATE_START, STATE_REPLAYING))
        return;
    // Without a song there is nothing to play: nothing is sent and the
    // clock does not run.
    if (state.m_length <= 0) {
        state.Answer(STATE_REPLAYING, STATE_STOPPED);
        return;
    }
    LONGLONG tick = 0;
    const std::uint64_t mark = state.StartPoint(tick);
    // Play and resume count in and begin the trainer's passes again; a seek
    // while the song plays does neither.
    host.m_countIn.Cancel(host.m_output, state, host.m_metronome);
    host.m_countInDue = CCountIn::NONE;
    if (state.m_freshStart.exchange(FALSE)) {
        host.m_countInDue = CCountIn::START;
        if (state.GetLoop().on)
            host.m_trainer.Restart(state);
    }
    // A start while the song plays (a seek) cuts what sounds first.
    host.m_output.Stop();
    state.ClearNotes();
    host.m_output.Start();
    host.m_metronome.Reset(&host.m_output, &state, tick);
    // The replay may take a while on a slow device; the song starts when it
    // is done, so nothing due meanwhile goes out in a burst.
    if (SeekTracks(host, tick, mark))
        StartClock(host, tick, CPlayerState::Now(), mark);
    state.Answer(STATE_REPLAYING, STATE_PLAYING);
}

void CPlayerEngine::StartClock(CPlayerHost& host, LONGLONG tick, LONGLONG now, std::uint64_t mark)
{
    CPlayerState& state = host.m_playerState;
    const CCountIn::Due due = host.m_countInDue;
    host.m_countInDue = CCountIn::NONE;
    const BOOL counting = host.m_countIn.Begin(state, host.m_metronome, tick, now, due);
    // The position stands at the start while the clicks go out.
    if (state.AnchorClock(now, tick, mark) && counting)
        state.StopClock();
}

void CPlayerEngine::Resync(CPlayerHost& host)
{
    // The transposition changed: the all-off silences the notes at the old
    // pitch, and with its reset of all controllers it drops the song's
    // controller state, which is sent again before the song goes on.
    CPlayerState& state = host.m_playerState;
    if (!state.Answer(STATE_RESYNC, STATE_REPLAYING))
        return;
    const std::uint64_t mark = state.ClockMark();
    LONGLONG previous = 0;
    const LONGLONG tick = state.AdvanceClock(CPlayerState::Now(), &previous);
    host.m_output.Pause();
    state.ClearNotes();
    if (Cut(host, tick, mark))
        state.AnchorClock(CPlayerState::Now(), tick, mark);
    state.Answer(STATE_REPLAYING, STATE_PLAYING);
}

void CPlayerEngine::Halt(CPlayerHost& host)
{
    host.m_settling = FALSE;
    host.m_countIn.Cancel(host.m_output, host.m_playerState, host.m_metronome);
    host.m_countInDue = CCountIn::NONE;
    host.m_output.Stop();
    host.m_playerState.ClearNotes();
    host.m_playerState.StopClock();
    // The meters still show the last notes; they are refreshed until they
    // have fallen.
    host.m_bMetersMoving = TRUE;
}

LONGLONG CPlayerEngine::Play(CPlayerHost& host)
{
    CPlayerState& state = host.m_playerState;
    if (host.m_output.WriteFailed()) {
        // Playing on into a port that takes nothing would only look as if it
        // worked: playback stops and the window tells why.
        Halt(host);
        state.Answer(STATE_PLAYING, STATE_STOPPED);
        HWND hwnd = host.PlayerWindow();
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(OUTPUT_FAILED, 0), reinterpret_cast<LPARAM>(hwnd));
        return NO_WORK;
    }
    const std::uint64_t mark = state.ClockMark();
    LONGLONG now = CPlayerState::Now();
    if (host.m_settling) {
        // The module settles after the reset; then the song's state goes
        // out and the song runs on from where the cut put it.
        if (now < host.m_settleUntil)
            return host.m_settleUntil;
        host.m_settling = FALSE;
        ReplayTracks(host);
        if (RequestPending(state))
            return now;
        now = CPlayerState::Now();
        StartClock(host, host.m_settleTick, now, mark);
    }
    if (host.m_countIn.Running()) {
        const LONGLONG due = host.m_countIn.Play(host.m_output, state, host.m_metronome, now);
        if (host.m_countIn.Running())
            return due;
        // The song starts one click after the last, however late the
        // thread woke for it.
        state.AnchorClock(due, host.m_countIn.SongTick(), mark);
    }
    LONGLONG previous = 0;
    LONGLONG tick = state.AdvanceClock(now, &previous);
    const LONGLONG length = state.m_length;
    const CPlayerState::Loop loop = state.GetLoop();
    // A loop that ends past the song's end turns at the end.
    const LONGLONG loopEnd = length > 0 ? std::min(loop.end, length) : loop.end;
    const bool looping = loop.on && 0 <= loop.start && loop.start < loopEnd;
    if (looping && loopEnd <= tick) {
        // While the loop is on, the song stays inside it: at the loop end,
        // and wherever the position lies beyond it, it goes back to the
        // loop start. What fell due before the loop end goes out first, so
        // a late wake drops nothing. Notes held across are cut; the
        // controller state at the loop start is sent before the song goes
        // on from there.
        PlayTracks(host, loopEnd - 1, INT64_MAX);
        host.m_output.Pause();
        state.ClearNotes();
        host.m_metronome.Reset(&host.m_output, &state, loop.start);
        // The trainer's tempo for the next pass is in force before its
        // count-in plans the clicks.
        host.m_trainer.NextPass(state);
        host.m_countInDue = CCountIn::PASS;
        if (!SeekTracks(host, loop.start, mark))
            return host.m_settleUntil;
        now = CPlayerState::Now();
        StartClock(host, loop.start, now, mark);
        if (host.m_countIn.Running())
            return host.m_countIn.Play(host.m_output, state, host.m_metronome, now);
        tick = loop.start;
    } else if (length > 0 && tick >= length) {
        // What fell due before the end still goes out, however late the
        // thread woke; events at the very last tick are not sent, the
        // all-off of Stop silences what still sounds.
        PlayTracks(host, length - 1, INT64_MAX);
        Halt(host);
        // The song stands at its end, not wherever the late wake found the
        // clock, and the readouts show it once more.
        if (state.ClockMark() == mark)
            state.m_currentTick = length;
        host.m_bDisplayPending = TRUE;
        state.Answer(STATE_PLAYING, STATE_STOPPED);
        return NO_WORK;
    }
    host.m_metronome.Tick(&host.m_output, &state, tick);
    LONGLONG next = length > 0 ? length : INT64_MAX;
    if (looping)
        next = std::min(next, loopEnd);
    next = std::min(next, host.m_metronome.NextClickTick(state.m_meterMap));
    next = PlayTracks(host, tick, next);
    // A request that cut the dispatch short, or a write that failed, is
    // answered at once.
    if (RequestPending(state) || host.m_output.WriteFailed())
        return now;
    // A tick that lies beyond any time (a song without an end) is due
    // never, but the thread still looks again after its longest sleep.
    const LONGLONG until = state.MicrosUntil(next, now);
    return until < NO_WORK - 1 - now ? now + until : NO_WORK - 1;
}

LONGLONG CPlayerEngine::PlayTracks(CPlayerHost& host, LONGLONG tick, LONGLONG next)
{
    CPlayerState& state = host.m_playerState;
    CRing::ForEach(host.m_pTracks, [&](CTrack* track) {
        if (RequestPending(state))
            return;
        CTrackPlayer::PlayUntil(*track, &host.m_output, &state, tick);
        next = std::min(next, CTrackPlayer::NextTick(*track));
    });
    return next;
}

BOOL CPlayerEngine::SeekTracks(CPlayerHost& host, LONGLONG tick, std::uint64_t mark)
{
    CRing::ForEach(host.m_pTracks, [&](CTrack* track) { CTrackPlayer::MoveTo(*track, tick); });
    return Cut(host, tick, mark);
}

BOOL CPlayerEngine::Cut(CPlayerHost& host, LONGLONG tick, std::uint64_t mark)
{
    host.m_settling = FALSE;
    if (!host.m_output.SendReset()) {
        ReplayTracks(host);
        return TRUE;
    }
    // The module needs a while after a reset before it takes messages
    // again. The pause is counted on the clock the song runs on (a render
    // holds it as silence), with the song standing at tick; Play sends the
    // state and starts the clock once it is over.
    CPlayerState& state = host.m_playerState;
    const LONGLONG now = CPlayerState::Now();
    // A stop or seek of the window meanwhile keeps its position.
    if (state.AnchorClock(now, tick, mark))
        state.StopClock();
    host.m_settleTick = tick;
    host.m_settleUntil = now + RESET_PAUSE;
    host.m_settling = TRUE;
    return FALSE;
}

void CPlayerEngine::ReplayTracks(CPlayerHost& host)
{
    // The setting in force may come from any track, so all are looked at
    // before the first message goes out.
    CSongState songState;
    std::uint32_t order = 0;
    CRing::ForEach(host.m_pTracks, [&](CTrack* track) { CTrackPlayer::OfferPlayed(*track, order++, songState); });
    songState.Finish();
    CPlayerState& state = host.m_playerState;
    CSerialMidiOut& output = host.m_output;
    // The song declares its drum channels again as its messages go out.
    output.ForgetDeclaredDrums();
    // The system-exclusive messages first: a reset among them would undo
    // the controllers sent before it. With a stop pending nothing more is
    // sent: a slow device must not hold the stop.
    if (output.m_sendSysEx) {
        for (const CSongState::SysEx& sysEx : songState.SysExes()) {
            if (RequestPending(state))
                return;
            // Escapes are no part of the state: an F7 here continues a message.
            BOOL open = TRUE;
            CTrackPlayer::SendSysEx(*sysEx.track, sysEx.event, &output, open);
        }
    }
    CMidiEvent message;
    for (const CSongState::Message& bytes : songState.Messages()) {
        if (RequestPending(state))
            return;
        std::tie(message.m_status, message.m_data1, message.m_data2) = std::tie(bytes[0], bytes[1], bytes[2]);
        output.Send(&message, &state, FALSE);
    }
}

LONGLONG CPlayerEngine::PostRefreshes(CPlayerHost& host)
{
    // While the window's own timer runs the refreshes, the thread need not
    // wake for them.
    if (!host.m_bRefresh || host.m_bRefreshTimer)
        return NO_WORK;
    // While the song plays the position and the meters move; otherwise only
    // a change the dialog could not show yet, or meters still falling, asks
    // for a refresh, and an idle player sleeps until a request.
    const bool playing = host.m_playerState.m_playState != STATE_STOPPED;
    const LONGLONG now = CPlayerState::Now();
    struct Refresh {
        bool wanted;
        DWORD lastRun;
        PostRecord& post;
        WORD command;
        LONGLONG until;
    };
    Refresh refreshes[] = {
        { playing || host.m_bDisplayPending, host.m_dwLastRefresh, host.m_displayPost, 1005, NO_WORK },
        { playing || host.m_bMetersMoving, static_cast<DWORD>(host.m_playerState.m_lastMeterTime),
            host.m_metersPost, 1004, NO_WORK },
    };
    LONGLONG sleep = NO_WORK;
    LONGLONG together = 0;
    for (Refresh& r : refreshes) {
        if (!r.wanted)
            continue;
        r.until = UntilRefresh(r.lastRun, now);
        // A post the window has not run yet is not repeated before the
        // interval is over.
        if (r.post.posted && r.post.lastRun == r.lastRun)
            r.until = std::max(r.until, UntilRefresh(r.post.at, now));
        sleep = std::min(sleep, r.until);
        together = std::max(together, r.until);
    }
    // While both are wanted they go out together: the window runs them in
    // one wake-up and repaints once.
    if (refreshes[0].wanted && refreshes[1].wanted)
        sleep = together;
    if (sleep == NO_WORK)
        return NO_WORK;
    if (sleep != 0)
        return now + sleep;
    const HWND hwnd = host.PlayerWindow();
    MSG posts[2];
    size_t count = 0;
    for (Refresh& r : refreshes) {
        if (r.wanted && r.until == 0) {
            posts[count++] = MSG { hwnd, WM_COMMAND, MAKEWPARAM(r.command, 0), reinterpret_cast<LPARAM>(hwnd) };
            r.post = PostRecord { TRUE, static_cast<DWORD>(static_cast<ULONGLONG>(now / 1000)), r.lastRun };
        }
    }
    // Posted together, they are run in one wake of the window and drawn in
    // one repaint.
    PostMessagesW(hwnd, posts, count);
    return now + UntilRefresh(static_cast<DWORD>(static_cast<ULONGLONG>(now / 1000)), now);
}
