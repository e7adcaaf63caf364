#include "player/CTrackPlayer.h"

#include "midiout/CSerialMidiOut.h"
#include "player/CPlayerState.h"
#include "song/CSongState.h"
#include "song/CTrack.h"

#include <cstdint>

namespace {

BOOL IsSysEx(const CMidiEvent* event)
{
    return event->m_status == 0xF0 || event->m_status == 0xF7;
}

// Whether a system-exclusive packet leaves its message open: it has no
// closing F7 (F7 packets continue it).
BOOL LeavesOpen(const CMidiPayload& payload)
{
    return payload.length == 0 || payload.bytes[payload.length - 1] != 0xF7;
}

// The track's m_sysExOpen after a system-exclusive event.
BOOL OpenAfter(BOOL open, const CMidiEvent* event, const CMidiPayload& payload)
{
    // An F7 event outside a message is an escape and changes nothing.
    if (event->m_status == 0xF7 && !open)
        return FALSE;
    return LeavesOpen(payload);
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
    track.m_sysExOpen = FALSE;
    if (tick == 0 || !track.m_firstEvent)
        return;
    CMidiEvent* event = track.m_firstEvent;
    size_t hint = 0;
    do {
        track.m_currentEvent = event;
        if (event->m_tick >= tick)
            return;
        if (IsSysEx(event))
            track.m_sysExOpen = OpenAfter(track.m_sysExOpen, event, track.Payload(event, &hint));
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
        // Meta events (a tempo change included: the clock follows the
        // song's tempo map) are not sent.
        if (event->m_status < 0xF0) {
            output->Send(event, state, FALSE);
            state->TrackNote(event);
        } else if (IsSysEx(event)) {
            SendSysEx(track, event, output, track.m_sysExOpen);
        }
        event = event->Next();
        if (event == track.m_firstEvent) {
            track.m_finished = TRUE;
            return;
        }
    }
}

void CTrackPlayer::OfferPlayed(const CTrack& track, std::uint32_t order, CSongState& songState)
{
    ForEachPlayed(track, [&](const CMidiEvent* event) {
        songState.Offer(&track, order, event);
        return true;
    });
}

void CTrackPlayer::SendSysEx(const CTrack& track, const CMidiEvent* event, CSerialMidiOut* output, BOOL& open)
{
    const CMidiPayload payload = track.Payload(event);
    const BOOL escape = event->m_status == 0xF7 && !open;
    open = OpenAfter(open, event, payload);
    if (!escape) {
        // Inside a message only data bytes may come, and F7 at its end; a
        // status byte would cut it short and be read as a message of its
        // own.
        for (DWORD i = 0; i < payload.length; ++i) {
            if (payload.bytes[i] >= 0x80 && !(payload.bytes[i] == 0xF7 && i + 1 == payload.length)) {
                open = FALSE;
                return;
            }
        }
    }
    output->SendSysEx(event->m_status, payload.bytes, payload.length);
}

LONGLONG CTrackPlayer::NextTick(const CTrack& track)
{
    if (!track.m_firstEvent || track.m_finished)
        return INT64_MAX;
    return (track.m_currentEvent ? track.m_currentEvent : track.m_firstEvent)->m_tick;
}
