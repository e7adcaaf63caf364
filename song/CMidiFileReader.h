#pragma once

#include "platform/core/WinTypes.h"

#include <memory>

class CMidiEvent;
class CSong;
class CSongFacts;
class CTrack;

// Builds the song model from the bytes of a Standard MIDI File held in
// memory. Every read is checked against the bytes that remain, so no input
// can make it read outside the buffer. A failure ends the read at once and
// is answered with its text; whatever was built up to then stays in the
// rings. Memory that runs out ends the read with std::bad_alloc, the rings
// again holding what was built.
class CMidiFileReader {
public:
    static const wchar_t* const kNoHeader;
    static const wchar_t* const kNoTrack;
    static const wchar_t* const kNoStatus;
    static const wchar_t* const kNoRmidData;

    // The tracks read keep the bytes, which their system-exclusive and meta
    // events point into. facts receives the division, the tempo, the SMPTE
    // offset and the channel links.
    CMidiFileReader(std::shared_ptr<const BYTE[]> data, size_t size, CSongFacts& facts);
    virtual ~CMidiFileReader();
    CMidiFileReader(const CMidiFileReader&) = delete;
    CMidiFileReader& operator=(const CMidiFileReader&) = delete;

    // Reads the header and the declared track chunks into songs and tracks,
    // which the caller has emptied before. An RMID file (a RIFF file of form
    // RMID) is read from the Standard MIDI File in its data chunk. Returns
    // null when the file was read whole, otherwise the text of the failure
    // (kNoRmidData, kNoHeader, kNoTrack or kNoStatus).
    const wchar_t* Read(CSong*& songs, CTrack*& tracks);

private:
    enum class EventResult { Complete, Stored, Dropped, PastChunkEnd, PastFileEnd, NoStatus };

    // What one event brings besides its bytes.
    struct Event {
        DWORD delta { 0 };
        BYTE status { 0 };
        BYTE data1 { 0 };
        BYTE data2 { 0 };
        BYTE metaType { 0 };
        DWORD length { 0 };
        const BYTE* payload { nullptr };
    };

    // Working values of the track being read; reset for every chunk.
    struct TrackContext {
        CTrack* track { nullptr };
        DWORD chunkLength { 0 };
        ULONGLONG used { 0 };
        BYTE runningStatus { 0 };
        // Delta time of dropped events, owed to the next stored event.
        ULONGLONG carriedDelta { 0 };
        CMidiEvent* firstName { nullptr };
        CMidiEvent* firstInstrument { nullptr };
        CMidiEvent* firstProgram { nullptr };
        CMidiEvent* firstVolume { nullptr };
    };

    // Narrows the bytes to the data chunk of an RMID file; FALSE when it has
    // none.
    BOOL UnwrapRmid();
    void ReadChunks(CSong*& songs, CTrack*& tracks);
    // Takes the header's division into the facts.
    void ReadDivision(WORD division);
    // TRUE when a chunk header (a type of four ASCII characters and a
    // length) lies at pos; TrackAt when it is a track chunk's.
    BOOL ChunkAt(ULONGLONG pos) const;
    BOOL TrackAt(ULONGLONG pos) const;
    // Returns FALSE when a failure ends the read.
    BOOL ReadTrack(CTrack* track, DWORD chunkLength);
    // Counts the events (and payloads) of the chunk at the position that
    // ReadTrack will store, so that the track is allocated once; the
    // position stays.
    void CountTrack(DWORD chunkLength, size_t& events, size_t& payloads);
    // Takes one event's bytes: Complete, PastFileEnd or NoStatus. The status
    // is set as soon as it is known.
    EventResult TakeEvent(TrackContext& context, Event& event);
    EventResult ReadEvent(TrackContext& context);
    // TRUE for a text event that marks and is not kept.
    static BOOL IsMarker(const Event& event);
    // Applies what a meta event sets in the track and the song's facts.
    // Returns TRUE for a marker text that is not kept.
    BOOL ApplyMeta(TrackContext& context, const Event& event);
    void TouchChannel(const TrackContext& context, BYTE status);
    void Store(TrackContext& context, const Event& event);

    // Bounded reads: FALSE when the buffer ends first. Each byte taken also
    // counts as used in the current chunk.
    BOOL TakeByte(TrackContext& context, BYTE& value);
    BOOL TakeVarLen(TrackContext& context, DWORD& value);
    BOOL TakeBytes(TrackContext& context, DWORD count, const BYTE*& bytes);
    void Fail(const wchar_t* text);

    std::shared_ptr<const BYTE[]> m_bytes;
    const BYTE* m_data;
    size_t m_size;
    // Offset of the next byte; may lie past m_size after a chunk whose
    // declared length exceeds the file.
    ULONGLONG m_pos { 0 };
    CSong* m_song { nullptr };
    CSongFacts& m_facts;
    const wchar_t* m_failure { nullptr };
};
