#pragma once

#include "platform/core/CString.h"
#include "song/CMidiEvent.h"

class CLastBends;
class CSerialMidiOut;
class CTabrinoDlg;
class CPlayerState;

// One track chunk: its event ring (owned), the play cursor and what the
// file said about it. -1 in a number means the track has no such event.
class CTrack {
public:
    CTrack();
    virtual ~CTrack();
    CTrack(const CTrack&) = delete;
    CTrack& operator=(const CTrack&) = delete;

    // Appends an event at the end of the ring and computes its tick. The
    // event takes ownership of payload (a block of length + 1 bytes or null).
    CMidiEvent* AddEvent(DWORD delta, BYTE status, BYTE data1, BYTE data2, BYTE spare, BYTE metaType,
        DWORD length, BYTE* payload);
    void SetName(const CString& name) { m_name = name; }
    void SetInstrument(const CString& instrument) { m_instrument = instrument; }
    // Tick of the last event, 0 without events.
    LONGLONG GetLastTick() const;

    // The cursor operations of the player thread. Each sends one message
    // after the other and gives up as soon as a stop is requested, so that
    // the stop need not wait for a long batch on a slow device.
    //
    // Positions the play cursor on the first event at or after tick without
    // sending anything: the events before it count as played.
    void MoveTo(LONGLONG tick);
    // Sends every event due up to and including tick.
    void PlayUntil(CSerialMidiOut* output, CTabrinoDlg* dialog, CPlayerState* state, LONGLONG tick);
    // Offers the pitch bends already played to bends.
    void OfferBends(CLastBends& bends) const;
    // Sends again the controllers, program changes and the bends that bends
    // kept among the events already played, in file order, so that they hold
    // again after an all-off; the cursor stays.
    void ReplayControllers(CSerialMidiOut* output, CPlayerState* state, const CLastBends& bends);
    // Tick of the next event the cursor will reach; LLONG_MAX when the
    // track is finished or empty.
    LONGLONG NextTick() const;

    CMidiEvent* m_firstEvent { nullptr };
    CMidiEvent* m_currentEvent { nullptr };
    // Set once every event has been dispatched (or lies before the seek
    // position): the track sends nothing more until its next MoveTo.
    BOOL m_finished { FALSE };
    CString m_name;
    CString m_instrument;
    std::int32_t m_sequenceNumber { -1 };
    std::int32_t m_tempo { -1 };
    std::int32_t m_timeSignature { -1 };
    std::int32_t m_keySignature { -1 };

    CTrack* m_next;
    CTrack* m_prev;
    std::int32_t m_serial;
    std::uint16_t m_mark;

    static CRing::Counter s_serialCounter;

private:
    // Calls fn on every event already played, in file order, while fn
    // returns true.
    template <typename Fn>
    void ForEachPlayed(Fn&& fn) const;
};
