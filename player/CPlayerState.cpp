#include "player/CPlayerState.h"

#include "song/CMidiEvent.h"

CPlayerState::CPlayerState()
{
    Reset();
}

CPlayerState::~CPlayerState() = default;

void CPlayerState::Reset()
{
    {
        std::lock_guard<std::mutex> guard(m_clockLock);
        m_startTime = 0;
        m_usPerQuarter = 666666;
    }
    m_lastTime = 0;
    m_startTick = 0;
    m_currentTick = 0;
    m_length = 0;
    m_loopStart = 0;
    m_loopEnd = 0;
    m_ppqn = 384;
    m_transpose = 0;
    m_bpm = 90;
    m_playState = STATE_STOPPED;
    m_lastMeterTime = 0;
    m_loopEnabled = 0;
    for (CChannelLevel& channel : m_channels) {
        channel.m_used = 0;
        channel.m_muted = 0;
        channel.m_nameEvent = nullptr;
        channel.m_instrumentEvent = nullptr;
        channel.m_programEvent = nullptr;
        channel.m_volumeEvent = nullptr;
    }
}

void CPlayerState::TrackNote(const CMidiEvent* event)
{
    BYTE kind = event->m_status & 0xF0;
    if (kind == 0x80 || kind == 0x90)
        m_channels[event->m_status & 0x0F].NoteEvent(event);
}

void CPlayerState::ClearNotes()
{
    for (CChannelLevel& channel : m_channels)
        channel.ClearNotes();
}

namespace {

// A zero or negative timing value would divide by zero or run the clock
// backwards; the defaults stand in for it.
LONGLONG UsablePpqn(LONGLONG ppqn)
{
    return ppqn > 0 ? ppqn : 384;
}

LONGLONG UsableUsPerQuarter(LONGLONG usPerQuarter)
{
    return usPerQuarter > 0 ? usPerQuarter : 666666;
}

}

LONGLONG CPlayerState::TicksAfter(LONGLONG startTick, LONGLONG elapsed, LONGLONG ppqn, LONGLONG usPerQuarter)
{
    return startTick + (elapsed * UsablePpqn(ppqn) * 1000) / UsableUsPerQuarter(usPerQuarter);
}

void CPlayerState::AnchorClock(DWORD now)
{
    std::lock_guard<std::mutex> guard(m_clockLock);
    m_startTime = static_cast<LONGLONG>(now);
}

void CPlayerState::JumpClock(DWORD now, LONGLONG tick)
{
    std::lock_guard<std::mutex> guard(m_clockLock);
    m_startTime = static_cast<LONGLONG>(now);
    m_startTick = tick;
    m_currentTick = tick;
}

LONGLONG CPlayerState::AdvanceClock(DWORD now, LONGLONG* previous)
{
    std::lock_guard<std::mutex> guard(m_clockLock);
    *previous = m_currentTick;
    m_lastTime = static_cast<LONGLONG>(now);
    // The elapsed time is taken modulo 2^32 like the tick count itself, so
    // a song playing while the count wraps (every 49.7 days) keeps going.
    auto elapsed = static_cast<LONGLONG>(static_cast<DWORD>(now - static_cast<DWORD>(m_startTime.load())));
    LONGLONG tick = TicksAfter(m_startTick, elapsed, m_ppqn, m_usPerQuarter);
    m_currentTick = tick;
    return tick;
}

void CPlayerState::SetTempo(std::int32_t bpm)
{
    if (bpm <= 0)
        return;
    std::lock_guard<std::mutex> guard(m_clockLock);
    m_bpm = bpm;
    LONGLONG usPerQuarter = 60000000LL / bpm;
    m_usPerQuarter = usPerQuarter;
    m_startTime = m_lastTime - (m_currentTick - m_startTick) * usPerQuarter / UsablePpqn(m_ppqn) / 1000;
}
