#include "song/CTrack.h"

#include "midiout/CSerialMidiOut.h"
#include "player/CPlayerState.h"
#include "song/CLastBends.h"

#include <cstdint>

CRing::Counter CTrack::s_serialCounter { 0 };

CTrack::CTrack()
{
    CRing::Init(this, s_serialCounter);
}

CTrack::~CTrack()
{
    CRing::Clear(m_firstEvent);
    CRing::Unlink(this);
}

CMidiEvent* CTrack::AddEvent(DWORD delta, BYTE status, BYTE data1, BYTE data2, BYTE spare, BYTE metaType,
    DWORD length, BYTE* payload)
{
    auto* event = new CMidiEvent;
    bool first = m_firstEvent == nullptr;
    CRing::Append(m_firstEvent, event);
    event->m_delta = delta;
    event->m_status = status;
    event->m_data1 = data1;
    event->m_data2 = data2;
    event->m_spare = spare;
    event->m_metaType = metaType;
    event->m_payloadLength = length;
    event->m_payload = payload;
    event->m_tick = first ? static_cast<LONGLONG>(delta) : event->m_prev->m_tick + static_cast<LONGLONG>(delta);
    return event;
}

LONGLONG CTrack::GetLastTick() const
{
    return m_firstEvent ? m_firstEvent->m_prev->m_tick : 0;
}

namespace {

BOOL IsController(const CMidiEvent* event)
{
    BYTE kind = event->m_status & 0xF0;
    return event->m_status < 0xF0 && (kind == 0xB0 || kind == 0xC0);
}

BOOL StopRequested(const CPlayerState* state)
{
    return state->m_playState.load(std::memory_order_relaxed) == STATE_STOP;
}

}

void CTrack::MoveTo(LONGLONG tick)
{
    m_currentEvent = nullptr;
    m_finished = FALSE;
    if (tick == 0 || !m_firstEvent)
        return;
    CMidiEvent* event = m_firstEvent;
    do {
        m_currentEvent = event;
        if (event->m_tick >= tick)
            return;
        event = event->m_next;
    } while (event != m_firstEvent);
    m_finished = TRUE;
}

void CTrack::PlayUntil(CSerialMidiOut* output, CTabrinoDlg* dialog, CPlayerState* state, LONGLONG tick)
{
    if (!m_firstEvent || m_finished)
        return;
    CMidiEvent* event = m_currentEvent ? m_currentEvent : m_firstEvent;
    for (;;) {
        m_currentEvent = event;
        if (event->m_tick > tick || StopRequested(state))
            return;
        // System-exclusive and meta events (a tempo change included: the
        // clock follows the song's tempo map) are not sent.
        if (event->m_status < 0xF0) {
            output->Send(event, state, FALSE);
            state->TrackNote(event);
        }
        event = event->m_next;
        if (event == m_firstEvent) {
            m_finished = TRUE;
            return;
        }
    }
}

template <typename Fn>
void CTrack::ForEachPlayed(Fn&& fn) const
{
    // Everything before the cursor has gone out; so has the cursor's own
    // event once the track is finished.
    if (!m_firstEvent || !m_currentEvent || (!m_finished && m_currentEvent == m_firstEvent))
        return;
    const CMidiEvent* end = m_finished ? m_firstEvent : m_currentEvent;
    const CMidiEvent* event = m_firstEvent;
    do {
        if (!fn(event))
            return;
        event = event->m_next;
    } while (event != end);
}

void CTrack::OfferBends(CLastBends& bends) const
{
    ForEachPlayed([&](const CMidiEvent* event) {
        bends.Offer(event);
        return true;
    });
}

void CTrack::ReplayControllers(CSerialMidiOut* output, CPlayerState* state, const CLastBends& bends)
{
    // Notes, pressure and every bend but the kept ones are passed over.
    ForEachPlayed([&](const CMidiEvent* event) {
        if (StopRequested(state))
            return false;
        if (IsController(event) || bends.IsKept(event))
            output->Send(event, state, FALSE);
        return true;
    });
}

LONGLONG CTrack::NextTick() const
{
    if (!m_firstEvent || m_finished)
        return INT64_MAX;
    return (m_currentEvent ? m_currentEvent : m_firstEvent)->m_tick;
}
