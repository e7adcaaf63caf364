#pragma once

#include "platform/core/WinTypes.h"
#include "song/CRing.h"

// The payload of a system-exclusive or meta event: its bytes as the file
// has them, without a closing zero byte; no bytes for other events.
struct CMidiPayload {
    const BYTE* bytes { nullptr };
    DWORD length { 0 };
};

// One event of a track, in file order, with its absolute tick. Also used as
// a transient message (the metronome's clicks) that is linked into no ring.
//
// A song of 60 MiB holds some twenty million events, so the record is kept
// to 24 bytes. A track holds its events in one block (CEventStore), and an
// event's ring links are the distances, counted in events, to its
// neighbours in that block; they stay right when the block moves as a
// whole, and a lone event's are 0, which links it to itself. The payload of
// a system-exclusive or meta event stays with the track (CTrack::Payload).
// An event owns nothing: the block that holds it is freed whole.
class CMidiEvent {
public:
    // A lone event with the next serial number.
    CMidiEvent();
    CMidiEvent(const CMidiEvent&) = delete;
    CMidiEvent& operator=(const CMidiEvent&) = delete;

    CMidiEvent* Next() const { return const_cast<CMidiEvent*>(this) + m_nextOffset; }
    CMidiEvent* Prev() const { return const_cast<CMidiEvent*>(this) + m_prevOffset; }
    // Links only events of one block, or the event to itself.
    void SetNext(CMidiEvent* next) { m_nextOffset = static_cast<std::int32_t>(next - this); }
    void SetPrev(CMidiEvent* prev) { m_prevOffset = static_cast<std::int32_t>(prev - this); }

    LONGLONG m_tick { 0 };
    std::int32_t m_serial;
    BYTE m_status { 0 };
    BYTE m_data1 { 0 };
    BYTE m_data2 { 0 };
    BYTE m_metaType { 0 };

    static CRing::Counter s_serialCounter;

private:
    friend class CEventStore;
    // A lone event with a serial number taken before.
    explicit CMidiEvent(std::int32_t serial);
    struct Relocation {};
    // A copy of from, links and serial number included, for a block that
    // takes the place of from's block.
    CMidiEvent(const CMidiEvent& from, Relocation);

    std::int32_t m_nextOffset { 0 };
    std::int32_t m_prevOffset { 0 };
};

// The ring reaches an event's links through its offsets. Destroying an event
// takes it out of its ring; its memory goes with its track's block.
template <>
struct CRingLinks<CMidiEvent> {
    static CMidiEvent* Next(const CMidiEvent* event) { return event->Next(); }
    static CMidiEvent* Prev(const CMidiEvent* event) { return event->Prev(); }
    static void SetNext(CMidiEvent* event, CMidiEvent* next) { event->SetNext(next); }
    static void SetPrev(CMidiEvent* event, CMidiEvent* prev) { event->SetPrev(prev); }
    static void Destroy(CMidiEvent* event) { CRing::Unlink(event); }
};
