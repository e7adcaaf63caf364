#pragma once

#include "platform/core/WinTypes.h"

class CLastBends;
class CPlayerState;
class CSerialMidiOut;
class CTrack;

// Plays one track through its cursor (the track's m_currentEvent and
// m_finished), for the player thread. Each operation that sends sends one
// message after the other and gives up as soon as a stop is requested, so
// that the stop need not wait for a long batch on a slow device.
class CTrackPlayer {
public:
    // Positions the cursor on the first event at or after tick without
    // sending anything: the events before it count as played.
    static void MoveTo(CTrack& track, LONGLONG tick);
    // Sends every event due up to and including tick.
    static void PlayUntil(CTrack& track, CSerialMidiOut* output, CPlayerState* state, LONGLONG tick);
    // Offers the pitch bends already played to bends.
    static void OfferBends(const CTrack& track, CLastBends& bends);
    // Sends again the controllers, program changes and the bends that bends
    // kept among the events already played, in file order, so that they hold
    // again after an all-off; the cursor stays.
    static void ReplayControllers(const CTrack& track, CSerialMidiOut* output, CPlayerState* state,
        const CLastBends& bends);
    // Tick of the next event the cursor will reach; LLONG_MAX when the
    // track is finished or empty.
    static LONGLONG NextTick(const CTrack& track);
};
