#pragma once

#include "platform/core/WinTypes.h"

#include <cstdint>

class CMidiEvent;
class CPlayerState;
class CSerialMidiOut;
class CSongState;
class CTrack;

// Plays one track through its cursor (the track's m_currentEvent,
// m_finished and m_sysExOpen), for the player thread. Each operation that
// sends sends one message after the other and gives up as soon as a stop is
// requested, so that the stop need not wait for a long batch on a slow
// device.
class CTrackPlayer {
public:
    // Positions the cursor on the first event at or after tick without
    // sending anything: the events before it count as played.
    static void MoveTo(CTrack& track, LONGLONG tick);
    // Sends every event due up to and including tick.
    static void PlayUntil(CTrack& track, CSerialMidiOut* output, CPlayerState* state, LONGLONG tick);
    // Offers every event already played to the song's state; order is the
    // track's place in the ring.
    static void OfferPlayed(const CTrack& track, std::uint32_t order, CSongState& songState);
    // Sends one system-exclusive event of the track (F0 or F7, see
    // CSerialMidiOut::SendSysEx); a packet whose data bytes include status
    // bytes (a damaged file) is not sent. open is the track's m_sysExOpen
    // before the event, and after it.
    static void SendSysEx(const CTrack& track, const CMidiEvent* event, CSerialMidiOut* output, BOOL& open);
    // Tick of the next event the cursor will reach; LLONG_MAX when the
    // track is finished or empty.
    static LONGLONG NextTick(const CTrack& track);
};
