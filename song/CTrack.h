#pragma once

#include "platform/core/CString.h"
#include "song/CEventStore.h"
#include "song/CMidiEvent.h"

#include <memory>
#include <string>

// One track chunk: its event ring (owned), the play cursor and what the
// file said about it. -1 in a number means the track has no such event.
class CTrack {
public:
    CTrack();
    virtual ~CTrack();
    CTrack(const CTrack&) = delete;
    CTrack& operator=(const CTrack&) = delete;

    // Room for this many events and payloads in all, so that adding them
    // allocates nothing more and moves no event.
    void Reserve(size_t events, size_t payloads);
    // Appends an event at the end of the ring, delta ticks after the last
    // one, with a copy of the payload (length bytes, or none). Without room
    // left (see Reserve) the track's events move, as a vector's elements
    // do: pointers to them hold until then; m_firstEvent and m_currentEvent
    // follow.
    CMidiEvent* AddEvent(DWORD delta, BYTE status, BYTE data1, BYTE data2, BYTE metaType = 0,
        const BYTE* payload = nullptr, DWORD length = 0);
    // The same for an event read from a file, whose payload stays where it
    // lies in the bytes given to ShareBytes; the delta may pass 32 bits.
    CMidiEvent* AddSharedEvent(ULONGLONG delta, BYTE status, BYTE data1, BYTE data2, BYTE metaType,
        const BYTE* payload, DWORD length);
    // The bytes that payloads of AddSharedEvent point into; the track keeps
    // them as long as it lives.
    void ShareBytes(std::shared_ptr<const BYTE[]> bytes) { m_sharedBytes = std::move(bytes); }
    // The payload of an event of this track (none for other events). A hint
    // started at 0 makes a walk in ring order quick (CEventStore::Payload).
    CMidiPayload Payload(const CMidiEvent* event, size_t* hint = nullptr) const { return m_events.Payload(event, hint); }
    // A text event's bytes: its payload up to the first zero byte.
    std::string TextBytes(const CMidiEvent* event, size_t& hint) const;
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
    // Set while the last system-exclusive packet before the cursor left its
    // message open (no closing F7): an F7 event then continues it, and is
    // otherwise an escape. Kept with the cursor by the player thread.
    BOOL m_sysExOpen { FALSE };
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
    // Runs move, which may move the events, and keeps m_firstEvent and
    // m_currentEvent on their events.
    template <typename Fn>
    void KeepCursors(Fn&& move);
    CMidiEvent* Append(ULONGLONG delta, BYTE status, BYTE data1, BYTE data2, BYTE metaType);

    CEventStore m_events;
    std::shared_ptr<const BYTE[]> m_sharedBytes;
};
