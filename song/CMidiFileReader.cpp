#include "song/CMidiFileReader.h"

#include "platform/core/CodePage.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CSongFacts.h"
#include "song/CTrack.h"

#include <algorithm>
#include <cstring>
#include <memory>

const wchar_t* const CMidiFileReader::kNoHeader = L"CTabrinoDlg::OnButtonFileopen() -> no MThd Chunk found";
const wchar_t* const CMidiFileReader::kNoTrack = L"CTabrinoDlg::OnButtonFileopen() -> no MTrk Chunk found";
const wchar_t* const CMidiFileReader::kNoStatus = L"CTabrinoDlg::OnButtonFileopen() -> no MIDI Command found";
const wchar_t* const CMidiFileReader::kNoRmidData = L"CTabrinoDlg::OnButtonFileopen() -> no RMID data Chunk found";

namespace {

constexpr size_t kHeaderSize = 14;
constexpr size_t kChunkHeaderSize = 8;

DWORD BigEndian(const BYTE* bytes, int count)
{
    DWORD value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

DWORD LittleEndian(const BYTE* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (DWORD(bytes[3]) << 24);
}

BOOL TakesNoData(BYTE status)
{
    return status > 0xF0 && status != 0xF7 && status != 0xFF;
}

CString MetaText(const BYTE* payload, DWORD length)
{
    return payload ? AnsiBytesToString(payload, length) : CString();
}

}

// The bounded reads come first, to be inlined where every byte is taken.
inline BOOL CMidiFileReader::TakeByte(TrackContext& context, BYTE& value)
{
    if (m_pos >= m_size)
        return FALSE;
    value = m_data[m_pos++];
    ++context.used;
    return TRUE;
}

inline BOOL CMidiFileReader::TakeVarLen(TrackContext& context, DWORD& value)
{
    // Seven bits per byte, high bit set on every byte but the last. The
    // count of bytes is not limited; the value keeps its low 32 bits.
    value = 0;
    BYTE b = 0;
    do {
        if (!TakeByte(context, b))
            return FALSE;
        value = (value << 7) | (b & 0x7F);
    } while (b & 0x80);
    return TRUE;
}

inline BOOL CMidiFileReader::TakeBytes(TrackContext& context, DWORD count, const BYTE*& bytes)
{
    if (m_pos > m_size || m_size - m_pos < count)
        return FALSE;
    bytes = count ? m_data + m_pos : nullptr;
    m_pos += count;
    context.used += count;
    return TRUE;
}

CMidiFileReader::CMidiFileReader(std::shared_ptr<const BYTE[]> data, size_t size, CSongFacts& facts)
    : m_bytes(std::move(data))
    , m_data(m_bytes.get())
    , m_size(m_data ? size : 0)
    , m_facts(facts)
{
}

CMidiFileReader::~CMidiFileReader() = default;

void CMidiFileReader::Fail(const wchar_t* text)
{
    m_failure = text;
}

const wchar_t* CMidiFileReader::Read(CSong*& songs, CTrack*& tracks)
{
    m_failure = nullptr;
    if (m_size >= 4 && std::memcmp(m_data, "RIFF", 4) == 0 && !UnwrapRmid()) {
        Fail(kNoRmidData);
        return m_failure;
    }
    ReadChunks(songs, tracks);
    return m_failure;
}

BOOL CMidiFileReader::UnwrapRmid()
{
    // "RIFF", the size of what follows, "RMID", then chunks: a type, a size
    // and the data, padded to an even length; all numbers little-endian.
    // Writers often get the RIFF size wrong, so the chunks are looked for up
    // to the end of the file, and a data chunk cut short holds what is left.
    if (m_size < 12 || std::memcmp(m_data + 8, "RMID", 4) != 0)
        return FALSE;
    ULONGLONG pos = 12;
    while (pos <= m_size && m_size - pos >= kChunkHeaderSize) {
        const DWORD length = LittleEndian(m_data + pos + 4);
        pos += kChunkHeaderSize;
        if (std::memcmp(m_data + pos - kChunkHeaderSize, "data", 4) == 0) {
            m_data += pos;
            m_size = static_cast<size_t>(std::min<ULONGLONG>(length, m_size - pos));
            return TRUE;
        }
        pos += ULONGLONG(length) + (length & 1);
    }
    return FALSE;
}

void CMidiFileReader::ReadChunks(CSong*& songs, CTrack*& tracks)
{
    if (m_size < kHeaderSize || std::memcmp(m_data, "MThd", 4) != 0) {
        Fail(kNoHeader);
        return;
    }
    auto* song = new CSong;
    songs = song;
    m_song = song;
    song->m_format = static_cast<std::int32_t>(BigEndian(m_data + 8, 2));
    song->m_trackCount = static_cast<std::int32_t>(BigEndian(m_data + 10, 2));
    ReadDivision(static_cast<WORD>(BigEndian(m_data + 12, 2)));

    // The tracks follow the header chunk, which later versions of the
    // format may make longer than six bytes. A header that claims more while
    // no chunk stands where it would end but a track stands at offset 14
    // has its length wrong, and is read as it always was.
    const ULONGLONG headerEnd = kChunkHeaderSize + ULONGLONG(BigEndian(m_data + 4, 4));
    m_pos = headerEnd > kHeaderSize && (ChunkAt(headerEnd) || !TrackAt(kHeaderSize)) ? headerEnd : kHeaderSize;
    for (std::int32_t i = 0; i < song->m_trackCount;) {
        if (!ChunkAt(m_pos)) {
            Fail(kNoTrack);
            return;
        }
        const DWORD chunkLength = BigEndian(m_data + m_pos + 4, 4);
        const bool track = TrackAt(m_pos);
        m_pos += kChunkHeaderSize;
        if (!track) {
            // Readers skip chunks of types they do not know, as the format
            // asks; the next one may lie past the end of the file.
            m_pos += chunkLength;
            continue;
        }
        auto* added = new CTrack;
        CRing::Append(tracks, added);
        ++i;
        if (!ReadTrack(added, chunkLength))
            return;
    }
}

void CMidiFileReader::ReadDivision(WORD division)
{
    if (division & 0x8000) {
        // SMPTE timing: the high byte is minus the frames per second (24,
        // 25, 29 for 29.97 and 30), the low byte the ticks per frame. A
        // quarter note stands for a second of frames, thirty at 29.97 frames
        // a second, so that the clock runs at the file's real time.
        const int frames = -static_cast<int>(static_cast<signed char>(division >> 8));
        const int perFrame = division & 0xFF;
        if (perFrame == 0)
            return;
        m_facts.m_framesPerSecond = frames;
        m_facts.m_ppqn = static_cast<LONGLONG>(frames == 29 ? 30 : frames) * perFrame;
        m_facts.m_usPerQuarter = frames == 29 ? 1001000 : 1000000;
    } else if (division != 0) {
        // A division of 0 would make every tick-to-time conversion divide
        // by zero, so the default stays.
        m_facts.m_ppqn = static_cast<LONGLONG>(division);
    }
}

BOOL CMidiFileReader::ChunkAt(ULONGLONG pos) const
{
    if (pos > m_size || m_size - pos < kChunkHeaderSize)
        return FALSE;
    // A chunk's type is four ASCII characters.
    for (size_t i = 0; i < 4; ++i) {
        if (m_data[pos + i] < 0x20 || m_data[pos + i] > 0x7E)
            return FALSE;
    }
    return TRUE;
}

BOOL CMidiFileReader::TrackAt(ULONGLONG pos) const
{
    return ChunkAt(pos) && std::memcmp(m_data + pos, "MTrk", 4) == 0 ? TRUE : FALSE;
}

BOOL CMidiFileReader::ReadTrack(CTrack* track, DWORD chunkLength)
{
    size_t events = 0;
    size_t payloads = 0;
    CountTrack(chunkLength, events, payloads);
    track->ShareBytes(m_bytes);
    track->Reserve(events, payloads);

    TrackContext context;
    context.track = track;
    context.chunkLength = chunkLength;
    const ULONGLONG chunkEnd = m_pos + chunkLength;
    while (context.used < chunkLength) {
        switch (ReadEvent(context)) {
        case EventResult::Complete:
        case EventResult::Stored:
        case EventResult::Dropped:
            break;
        case EventResult::PastChunkEnd:
        case EventResult::PastFileEnd:
            // The event is lost; the next chunk is looked for where this one
            // says it ends, which may be past the end of the file.
            m_pos = chunkEnd;
            return TRUE;
        case EventResult::NoStatus:
            Fail(kNoStatus);
            return FALSE;
        }
    }
    return TRUE;
}

void CMidiFileReader::CountTrack(DWORD chunkLength, size_t& events, size_t& payloads)
{
    const ULONGLONG start = m_pos;
    TrackContext context;
    context.chunkLength = chunkLength;
    while (context.used < chunkLength) {
        Event event;
        if (TakeEvent(context, event) != EventResult::Complete || context.used > chunkLength)
            break;
        if (IsMarker(event))
            continue;
        ++events;
        if (event.length > 0)
            ++payloads;
    }
    m_pos = start;
}

CMidiFileReader::EventResult CMidiFileReader::TakeEvent(TrackContext& context, Event& event)
{
    BYTE b = 0;
    if (!TakeVarLen(context, event.delta) || !TakeByte(context, b))
        return EventResult::PastFileEnd;
    if (b >= 0x80) {
        event.status = b;
        // A status that takes no data bytes (system common and real-time
        // bytes) leaves the running status as it was: data bytes after it
        // belong to the message before it. Repeated, it would make an event
        // of every single byte.
        if (!TakesNoData(b))
            context.runningStatus = b;
    } else if (context.runningStatus == 0) {
        return EventResult::NoStatus;
    } else {
        // The byte is the first data byte of a message that repeats the
        // running status: give it back so the data reads take it again.
        event.status = context.runningStatus;
        --m_pos;
        --context.used;
    }

    BOOL complete = TRUE;
    switch (event.status & 0xF0) {
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
        complete = TakeByte(context, event.data1) && TakeByte(context, event.data2);
        break;
    case 0xC0:
    case 0xD0:
        complete = TakeByte(context, event.data1);
        break;
    default:
        if (event.status == 0xFF)
            complete = TakeByte(context, event.metaType);
        if (event.status == 0xF0 || event.status == 0xF7 || event.status == 0xFF) {
            complete = complete && TakeVarLen(context, event.length)
                && TakeBytes(context, event.length, event.payload);
        }
        break;
    }
    return complete ? EventResult::Complete : EventResult::PastFileEnd;
}

BOOL CMidiFileReader::IsMarker(const Event& event)
{
    return event.status == 0xFF && event.metaType == 0x01 && event.length >= 5
        && std::memcmp(event.payload, "{KVT}", 5) == 0;
}

CMidiFileReader::EventResult CMidiFileReader::ReadEvent(TrackContext& context)
{
    Event event;
    const EventResult taken = TakeEvent(context, event);
    // A channel is used from its status on, even by an event cut short.
    if (event.status != 0 && event.status != 0xFF)
        TouchChannel(context, event.status);
    if (taken != EventResult::Complete)
        return taken;

    BOOL marker = event.status == 0xFF && ApplyMeta(context, event);
    if (context.used > context.chunkLength)
        return EventResult::PastChunkEnd;
    if (marker) {
        context.carriedDelta += event.delta;
        return EventResult::Dropped;
    }
    Store(context, event);
    return EventResult::Stored;
}

void CMidiFileReader::TouchChannel(const TrackContext& context, BYTE status)
{
    CSongFacts::Channel& channel = m_facts.m_channels[status & 0x0F];
    channel.m_used = 1;
    if (context.firstName && !channel.m_nameEvent)
        channel.m_nameEvent = context.firstName;
    else if (context.firstInstrument && !channel.m_instrumentEvent)
        channel.m_instrumentEvent = context.firstInstrument;
}

BOOL CMidiFileReader::ApplyMeta(TrackContext& context, const Event& event)
{
    CTrack* track = context.track;
    const BYTE* p = event.payload;
    const DWORD n = event.length;
    // A payload shorter than the value it should hold sets nothing.
    switch (event.metaType) {
    case 0x00:
        if (n >= 2)
            track->m_sequenceNumber = static_cast<std::int32_t>(BigEndian(p, 2));
        break;
    case 0x01:
        return IsMarker(event);
    case 0x03:
        track->SetName(MetaText(p, n).Trim());
        break;
    case 0x04:
        track->SetInstrument(MetaText(p, n).Trim());
        break;
    case 0x51:
        // A tempo of 0 cannot be turned into beats per minute or a clock
        // rate; the event is kept but sets nothing.
        if (n >= 3 && track->m_tempo == -1) {
            DWORD tempo = BigEndian(p, 3);
            if (tempo != 0) {
                track->m_tempo = static_cast<std::int32_t>(tempo);
                m_song->m_tempo = tempo;
                // SMPTE time has no tempo: the event is only recorded.
                if (m_facts.m_framesPerSecond == 0)
                    m_facts.m_usPerQuarter = static_cast<LONGLONG>(tempo);
            }
        }
        break;
    case 0x54:
        if (n >= 5)
            m_facts.m_smpteOffset = static_cast<LONGLONG>(static_cast<signed char>(p[4]));
        break;
    case 0x58:
        if (n >= 4 && track->m_timeSignature == -1)
            track->m_timeSignature = static_cast<std::int32_t>(BigEndian(p, 4));
        break;
    case 0x59:
        if (n >= 2 && track->m_keySignature == -1)
            track->m_keySignature = static_cast<std::int32_t>(BigEndian(p, 2));
        break;
    default:
        break;
    }
    return FALSE;
}

void CMidiFileReader::Store(TrackContext& context, const Event& event)
{
    // Deltas of dropped events are added here so that absolute ticks stay
    // those of the file.
    CMidiEvent* stored = context.track->AddSharedEvent(context.carriedDelta + event.delta, event.status,
        event.data1, event.data2, event.metaType, event.payload, event.length);
    context.carriedDelta = 0;

    const BYTE kind = event.status & 0xF0;
    CSongFacts::Channel& channel = m_facts.m_channels[event.status & 0x0F];
    if (event.status == 0xFF && event.metaType == 0x03) {
        if (!context.firstName)
            context.firstName = stored;
    } else if (event.status == 0xFF && event.metaType == 0x04) {
        if (!context.firstInstrument)
            context.firstInstrument = stored;
    } else if (kind == 0xC0) {
        if (!context.firstProgram) {
            context.firstProgram = stored;
            channel.m_programEvent = stored;
        }
    } else if (kind == 0xB0 && event.data1 == 7) {
        if (!context.firstVolume) {
            context.firstVolume = stored;
            channel.m_volumeEvent = stored;
        }
    }
}
