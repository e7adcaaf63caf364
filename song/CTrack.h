#pragma once

#include "platform/core/CString.h"
#include "song/CMidiEvent.h"

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

    CMidiEvent* m_firstEvent { nullptr };
    // The play cursor, moved by the player thread (CTrackPlayer): the next
    // event to send, null before the track was positioned.
    CMidiEvent* m_currentEvent { nullptr };
    // Set once every event has been dispatched (or lies before the seek
    // position): the track sends nothing more until it is positioned again.
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
};
