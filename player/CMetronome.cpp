#include "player/CMetronome.h"

#include "midiout/CSerialMidiOut.h"
#include "player/CMetronomeSettings.h"
#include "player/CPlayerState.h"
#include "song/CMeterMap.h"
#include "song/CMidiEvent.h"

#include <cstdint>

CRing::Counter CMetronome::s_serialCounter { 0 };

CMetronome::CMetronome()
{
    CRing::Init(this, s_serialCounter);
}

CMetronome::~CMetronome()
{
    CRing::Unlink(this);
}

void CMetronome::Reset(CSerialMidiOut* output, CPlayerState* state, LONGLONG tick)
{
    m_lastTick = tick;
    m_anchorTick = tick;
}

void CMetronome::EndClicks(CSerialMidiOut* output, CPlayerState* state)
{
    if (m_accentOn) {
        Click(output, state, m_accentChannel, m_accentSounding, 0);
        m_accentOn = 0;
    }
    if (m_beatOn) {
        Click(output, state, m_beatChannel, m_beatSounding, 0);
        m_beatOn = 0;
    }
}

void CMetronome::Tick(CSerialMidiOut* output, CPlayerState* state, LONGLONG tick)
{
    if (!m_enabled) {
        EndClicks(output, state);
        m_lastTick = tick;
        return;
    }
    const CMeterMap& meter = state->m_meterMap;
    const CMeterMap::Position at = meter.At(tick);
    bool accent;
    if (m_lastTick == 0 && tick != 0) {
        // The first movement away from tick 0 always starts a bar.
        accent = true;
    } else {
        // After a Reset, compare against the tick before the anchor, so that
        // an anchor lying exactly on a beat gets its click.
        const bool moved = m_lastTick == m_anchorTick && tick != m_anchorTick;
        const CMeterMap::Position reference = meter.At(moved ? m_anchorTick - 1 : m_lastTick);
        accent = at.bar != reference.bar;
        const LONGLONG group = BeatsPerClick(meter, tick);
        if (!accent && at.beat / group == reference.beat / group) {
            m_lastTick = tick;
            return;
        }
    }
    EndClicks(output, state);
    if (accent) {
        m_accentSounding = m_accentKey;
        Click(output, state, m_accentChannel, m_accentSounding, m_accentVelocity);
        m_accentOn = 1;
    } else {
        m_beatSounding = m_beatKey;
        Click(output, state, m_beatChannel, m_beatSounding, m_beatVelocity);
        m_beatOn = 1;
    }
    m_lastTick = tick;
}

LONGLONG CMetronome::NextClickTick(const CMeterMap& meter) const
{
    if (!m_enabled)
        return INT64_MAX;
    // Tick clicks as soon as the beat differs from that of its reference
    // position (see Tick), which for the first movement away from tick 0 is
    // any other position.
    if (m_lastTick == 0)
        return 1;
    const LONGLONG reference = m_lastTick == m_anchorTick ? m_anchorTick - 1 : m_lastTick;
    if (ClickStart(meter, m_lastTick + 1) != ClickStart(meter, reference))
        return m_lastTick + 1;
    return NextClickStart(meter, reference);
}

void CMetronome::SetSettings(const CMetronomeSettings& settings)
{
    m_accentKey = CMetronomeSettings::AccentKey(settings.sound);
    m_beatKey = CMetronomeSettings::BeatKey(settings.sound);
    m_accentVelocity = settings.AccentVelocity();
    m_beatVelocity = settings.BeatVelocity();
    m_compoundEighths = settings.compoundEighths;
}

LONGLONG CMetronome::BeatsPerClick(const CMeterMap& meter, LONGLONG tick) const
{
    return meter.IsCompound(tick) && !m_compoundEighths ? 3 : 1;
}

LONGLONG CMetronome::ClickStart(const CMeterMap& meter, LONGLONG tick) const
{
    const LONGLONG beat = meter.BeatStart(tick);
    return meter.StepBeats(beat, -(meter.At(beat).beat % BeatsPerClick(meter, beat)));
}

LONGLONG CMetronome::NextClickStart(const CMeterMap& meter, LONGLONG tick) const
{
    LONGLONG next = meter.NextBeatStart(tick);
    // A group is at most three beats; a change of signature starts a bar,
    // and with it a group.
    for (int n = 0; n < 3 && meter.At(next).beat % BeatsPerClick(meter, next) != 0; ++n)
        next = meter.NextBeatStart(next);
    return next;
}

void CMetronome::Click(CSerialMidiOut* output, CPlayerState* state, BYTE channel, BYTE key, BYTE velocity)
{
    CMidiEvent event;
    event.m_status = static_cast<BYTE>(0x90 + (channel & 0x0F));
    event.m_data1 = key;
    event.m_data2 = velocity;
    output->Send(&event, state, TRUE);
}
