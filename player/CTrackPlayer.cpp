#include "player/CTrackPlayer.h"

#include "midiout/CSerialMidiOut.h"
#include "player/CPlayerState.h"
#include "song/CLastBends.h"
#include "song/CTrack.h"

#include <cstdint>

namespace {

BOOL IsController(const CMidiEvent* event)
{
    BYTE kind = event->m_status & 0xF0;
    return event->m_status < 0xF0 && (kind == 0xB0 || kind == 0xC0);
}

// A stop, or a start elsewhere, came while the track plays: it is cut short.
BOOL StopRequested(const CPlayerState* state)
{
    const std::int32_t code = state->m_playState.load(std::memory_order_relaxed);
    return code != STATE_PLAYING && code != STATE_REPLAYING;
}

// Calls fn on every event of the track already played, in file order,
// while fn returns true.
template <typename Fn>
void ForEachPlayed(const CTrack& track, Fn&& fn)
{
    // Everything before the cursor has gone out; so has the cursor's own
    // event once the track is finished.
    const CMidiEvent* first = track.m_firstEvent;
    const CMidiEvent* cursor = track.m_currentEvent;
    if (!first || !cursor || (!track.m_finished && cursor == first))
        return;
    const CMidiEvent* end = track.m_finished ? first : cursor;
    const CMidiEvent* event = first;
    do {
        if (!fn(event))
            return;
        event = event->Next();
    } while (event != end);
}

}

void CTrackPlayer::MoveTo(CTrack& track, LONGLONG tick)
{
    track.m_currentEvent = nullptr;
    track.m_finished = FALSE;
    if (tick == 0 || !track.m_firstEvent)
        return;
    CMidiEvent* event = track.m_firstEvent;
    do {
        track.m_currentEvent = event;
        if (event->m_tick >= tick)
            return;
        event = event->Next();
    } while (event != track.m_firstEvent);
    track.m_finished = TRUE;
}

void CTrackPlayer::PlayUntil(CTrack& track, CSerialMidiOut* output, CPlayerState* state, LONGLONG tick)
{
    if (!track.m_firstEvent || track.m_finished)
        return;
    CMidiEvent* event = track.m_currentEvent ? track.m_currentEvent : track.m_firstEvent;
    for (;;) {
        track.m_currentEvent = event;
        if (event->m_tick > tick || StopRequested(state))
            return;
        // System-exclusive and meta events (a tempo change included: the
        // clock follows the song's tempo map) are not sent.
        if (event->m_status < 0xF0) {
            output->Send(event, state, FALSE);
            state->TrackNote(event);
        }
        event = event->Next();
        if (event == track.m_firstEvent) {
            track.m_finished = TRUE;
            return;
        }
    }
}

void CTrackPlayer::OfferBends(const CTrack& track, CLastBends& bends)
{
    ForEachPlayed(track, [&](const CMidiEvent* event) {
        bends.Offer(event);
        return true;
    });
}

void CTrackPlayer::ReplayControllers(const CTrack& track, CSerialMidiOut* output, CPlayerState* state,
    const CLastBends& bends)
{
    // Notes, pressure and every bend but the kept ones are passed over.
    ForEachPlayed(track, [&](const CMidiEvent* event) {
        if (StopRequested(state))
            return false;
        if (IsController(event) || bends.IsKept(event))
            output->Send(event, state, FALSE);
        return true;
    });
}

LONGLONG CTrackPlayer::NextTick(const CTrack& track)
{
    if (!track.m_firstEvent || track.m_finished)
        return INT64_MAX;
    return (track.m_currentEvent ? track.m_currentEvent : track.m_firstEvent)->m_tick;
}
