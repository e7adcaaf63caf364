// Feeds arbitrary bytes to the Standard MIDI File reader, and builds the
// tempo and meter maps and the readouts of what it loaded. Besides the
// sanitizers' findings, it stops on a broken model: ticks that go back, a
// payload outside the file's bytes or found differently with and without a
// hint, a ring whose links disagree, or a tempo outside the tempo box's
// range.

#include "player/CPlayerState.h"
#include "player/CPositionText.h"
#include "song/CMidiFileReader.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CSongFacts.h"
#include "song/CSongInfo.h"
#include "song/CTrack.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The input's bytes, which payloads point into.
const BYTE* g_begin = nullptr;
const BYTE* g_end = nullptr;

void CheckTrack(const CTrack* track)
{
    LONGLONG previous = 0;
    size_t hint = 0;
    CRing::ForEach(track->m_firstEvent, [&](const CMidiEvent* e) {
        Check(e->Next()->Prev() == e && e->Prev()->Next() == e);
        Check(e->m_tick >= previous);
        const CMidiPayload payload = track->Payload(e, &hint);
        Check((payload.bytes != nullptr) == (payload.length > 0));
        Check(payload.length == 0 || e->m_status >= 0xF0);
        Check(!payload.bytes || (payload.bytes >= g_begin && payload.bytes + payload.length <= g_end));
        Check(payload.length == track->Payload(e).length);
        Check(e->m_status >= 0x80);
        previous = e->m_tick;
    });
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    // An exact copy, so that a read one byte too far is reported.
    std::shared_ptr<BYTE[]> bytes(new BYTE[size ? size : 1]);
    if (size)
        std::memcpy(bytes.get(), data, size);
    g_begin = bytes.get();
    g_end = bytes.get() + size;

    CSongFacts facts;
    CSong* song = nullptr;
    CTrack* tracks = nullptr;
    CMidiFileReader reader(bytes, size, facts);
    const wchar_t* failure = reader.Read(song, tracks);

    Check(!failure || failure == CMidiFileReader::kNoHeader || failure == CMidiFileReader::kNoTrack
        || failure == CMidiFileReader::kNoStatus || failure == CMidiFileReader::kNoRmidData);
    Check(facts.m_ppqn > 0 && facts.m_usPerQuarter > 0);
    Check(song != nullptr || tracks == nullptr);
    CRing::ForEach(tracks, CheckTrack);

    CPlayerState state;
    state.TakeFacts(facts);
    state.AdoptSong(tracks);
    Check(state.m_bpm >= CPlayerState::MIN_BPM && state.m_bpm <= CPlayerState::MAX_BPM);
    const LONGLONG length = CSongInfo::FromTracks(tracks).m_length;
    CPositionText::BarBeatTick(length, state.m_meterMap);
    CPositionText::Time(length, state.m_tempoMap, state.m_ppqn, state.m_usPerQuarter);
    Check(state.m_tempoMap.TickAfter(0, state.m_tempoMap.MicrosUntil(0, length, state.m_ppqn, state.m_usPerQuarter),
              state.m_ppqn, state.m_usPerQuarter)
        >= length);
    CRing::Clear(tracks);
    CRing::Clear(song);
    return 0;
}
