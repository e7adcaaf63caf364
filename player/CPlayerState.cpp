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
