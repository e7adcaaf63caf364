#include "player/CCountIn.h"

#include "player/CMetronome.h"
#include "player/CPlayerState.h"
#include "song/CMeterMap.h"

void CCountIn::SetSettings(const CCountInSettings& settings)
{
    m_bars = settings.bars;
    m_beforeEachPass = settings.beforeEachPass;
}

CCountInSettings CCountIn::Settings() const
{
    return CCountInSettings { m_bars, m_beforeEachPass };
}

BOOL CCountIn::Begin(CPlayerState& state, const CMetronome& metronome, LONGLONG tick, LONGLONG now, Due due)
{
    m_running = FALSE;
    const int bars = m_bars;
    if (bars <= 0 || due == NONE || (due == PASS && !m_beforeEachPass))
        return FALSE;
    const CMeterMap& meter = state.m_meterMap;
    const LONGLONG beat = meter.BeatStart(tick);
    const LONGLONG group = metronome.BeatsPerClick(meter, beat);
    const LONGLONG beatsInBar = meter.BeatsInBar(meter.At(beat).bar);
    // A click is a beat (or a group of three eighths) at the tempo in force
    // where the song starts, scaled to the user's tempo as the clock is.
    const LONGLONG beatTicks = meter.NextBeatStart(beat) - beat;
    const LONGLONG tempo = state.m_tempoMap.TempoAt(tick);
    const LONGLONG first = state.m_tempoMap.FirstTempo();
    if (beatTicks <= 0 || tempo <= 0 || first <= 0)
        return FALSE;
    const double micros = static_cast<double>(tempo) * static_cast<double>(state.m_usPerQuarter) / first
        * static_cast<double>(beatTicks * group) / static_cast<double>(state.m_ppqn);
    // Groups of three come only in bars of six, nine or twelve eighths.
    m_clicksPerBar = static_cast<int>(beatsInBar / group);
    m_clickMicros = static_cast<LONGLONG>(micros + 0.5);
    m_clicks = bars * m_clicksPerBar;
    m_sent = 0;
    m_firstClick = now;
    m_songTick = tick;
    m_running = m_clicks > 0 && m_clickMicros > 0;
    return m_running;
}

LONGLONG CCountIn::Play(CSerialMidiOut& output, CPlayerState& state, CMetronome& metronome, LONGLONG now)
{
    while (m_sent < m_clicks && m_firstClick + m_sent * m_clickMicros <= now) {
        if (m_sounding)
            metronome.Click(&output, &state, m_soundingChannel, m_sounding, 0);
        const bool accent = m_sent % m_clicksPerBar == 0;
        m_sounding = accent ? metronome.m_accentKey : metronome.m_beatKey;
        m_soundingChannel = accent ? metronome.m_accentChannel : metronome.m_beatChannel;
        metronome.Click(&output, &state, m_soundingChannel, m_sounding,
            accent ? metronome.m_accentVelocity : metronome.m_beatVelocity);
        ++m_sent;
    }
    const LONGLONG songStart = m_firstClick + m_clicks * m_clickMicros;
    if (m_sent < m_clicks)
        return m_firstClick + m_sent * m_clickMicros;
    if (now < songStart)
        return songStart;
    // The last click ends as the song begins.
    Cancel(output, state, metronome);
    return songStart;
}

void CCountIn::Cancel(CSerialMidiOut& output, CPlayerState& state, CMetronome& metronome)
{
    if (m_sounding)
        metronome.Click(&output, &state, m_soundingChannel, m_sounding, 0);
    m_sounding = 0;
    m_running = FALSE;
}
