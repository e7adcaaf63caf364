#include "player/CPlayerState.h"

#include "platform/core/TickCount.h"
#include "song/CMidiEvent.h"
#include "song/CSongFacts.h"

#include <algorithm>

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
        m_clockRunning = false;
    }
    m_lastTime = 0;
    m_startTick = 0;
    m_currentTick = 0;
    m_length = 0;
    m_loopStart = 0;
    m_loopEnd = 0;
    m_ppqn = 384;
    m_smpteSecond = 0;
    m_transpose = 0;
    m_bpm = 90;
    m_playState = STATE_STOPPED;
    m_lastMeterTime = 0;
    m_loopEnabled = 0;
    m_cutChannels = 0;
    m_tempoMap.Clear();
    m_meterMap.Reset(384);
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

BOOL CPlayerState::IsMuted(int channel) const
{
    return m_channels[channel].m_muted;
}

void CPlayerState::TakeFacts(const CSongFacts& facts)
{
    m_ppqn = facts.m_ppqn;
    m_smpteSecond = facts.m_framesPerSecond > 0 ? facts.m_usPerQuarter : 0;
    {
        std::lock_guard<std::mutex> guard(m_clockLock);
        m_usPerQuarter = facts.m_usPerQuarter;
    }
    m_smpteOffset = facts.m_smpteOffset;
    for (int n = 0; n < 16; ++n) {
        CChannelLevel& to = m_channels[n];
        const CSongFacts::Channel& from = facts.m_channels[n];
        to.m_used = from.m_used;
        to.m_nameEvent = from.m_nameEvent;
        to.m_instrumentEvent = from.m_instrumentEvent;
        to.m_programEvent = from.m_programEvent;
        to.m_volumeEvent = from.m_volumeEvent;
    }
}

void CPlayerState::AdoptSong(const CTrack* tracks)
{
    if (m_smpteSecond > 0) {
        m_tempoMap.Constant(m_smpteSecond);
        m_meterMap.CountSeconds(m_ppqn);
    } else {
        m_tempoMap.Build(tracks);
        m_meterMap.Build(tracks, m_ppqn);
    }
    const LONGLONG first = m_tempoMap.FirstTempo();
    const LONGLONG bpm = (60000000 + first / 2) / first;
    const auto shown = static_cast<std::int32_t>(std::clamp<LONGLONG>(bpm, MIN_BPM, MAX_BPM));
    std::lock_guard<std::mutex> guard(m_clockLock);
    m_bpm = shown;
    m_usPerQuarter = shown == bpm ? first : 60000000 / shown;
}

LONGLONG CPlayerState::Now()
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f {};
        return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 1000000;
    }();
    LARGE_INTEGER count {};
    QueryPerformanceCounter(&count);
    // Whole seconds and the rest apart, so that the product cannot overflow.
    return count.QuadPart / frequency * 1000000 + count.QuadPart % frequency * 1000000 / frequency;
}

LONGLONG CPlayerState::PositionAt(LONGLONG now) const
{
    return m_tempoMap.TickAfter(m_startTick, now - m_startTime, m_ppqn, m_usPerQuarter);
}

void CPlayerState::AnchorClock(LONGLONG now, LONGLONG tick)
{
    std::lock_guard<std::mutex> guard(m_clockLock);
    m_startTime = now;
    m_startTick = tick;
    m_lastTime = now;
    m_currentTick = tick;
    m_clockRunning = true;
}

void CPlayerState::StopClock()
{
    std::lock_guard<std::mutex> guard(m_clockLock);
    m_clockRunning = false;
}

LONGLONG CPlayerState::AdvanceClock(LONGLONG now, LONGLONG* previous)
{
    std::lock_guard<std::mutex> guard(m_clockLock);
    *previous = m_currentTick;
    m_lastTime = now;
    LONGLONG tick = PositionAt(now);
    m_currentTick = tick;
    return tick;
}

LONGLONG CPlayerState::SampleClock(LONGLONG now)
{
    std::lock_guard<std::mutex> guard(m_clockLock);
    if (!m_clockRunning)
        return m_currentTick;
    LONGLONG tick = PositionAt(now);
    const LONGLONG length = m_length;
    const LONGLONG end = m_loopEnd;
    const LONGLONG loopEnd = length > 0 ? std::min(end, length) : end;
    if (m_loopEnabled && 0 <= m_loopStart && m_loopStart < loopEnd)
        tick = std::min(tick, loopEnd);
    m_currentTick = tick;
    return tick;
}

LONGLONG CPlayerState::MicrosUntil(LONGLONG tick, LONGLONG now)
{
    std::lock_guard<std::mutex> guard(m_clockLock);
    const LONGLONG span = m_tempoMap.MicrosUntil(m_startTick, tick, m_ppqn, m_usPerQuarter);
    const LONGLONG elapsed = std::max<LONGLONG>(now - m_startTime, 0);
    return span > elapsed ? span - elapsed : 0;
}

void CPlayerState::SetTempo(std::int32_t bpm)
{
    if (bpm <= 0)
        return;
    std::lock_guard<std::mutex> guard(m_clockLock);
    if (m_clockRunning) {
        const LONGLONG now = Now();
        const LONGLONG tick = PositionAt(now);
        m_startTime = now;
        m_startTick = tick;
    }
    m_bpm = bpm;
    m_usPerQuarter = 60000000LL / bpm;
}

void CPlayerState::SetLoop(LONGLONG start, LONGLONG end, BOOL on)
{
    std::lock_guard<std::mutex> guard(m_clockLock);
    m_loopStart = start;
    m_loopEnd = end;
    m_loopEnabled = on;
}

CPlayerState::Loop CPlayerState::GetLoop()
{
    std::lock_guard<std::mutex> guard(m_clockLock);
    return Loop { m_loopStart, m_loopEnd, m_loopEnabled != 0 };
}
