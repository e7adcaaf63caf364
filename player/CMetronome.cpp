#include "player/CMetronome.h"

#include "midiout/CSerialMidiOut.h"
#include "player/CPlayerState.h"
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
        Click(output, state, m_accentChannel, m_accentKey, 0);
        m_accentOn = 0;
    }
    if (m_beatOn) {
        Click(output, state, m_beatChannel, m_beatKey, 0);
        m_beatOn = 0;
    }
}

void CMetronome::Tick(CSerialMidiOut* output, CPlayerState* state, LONGLONG tick)
{
    LONGLONG ppqn = state->m_ppqn;
    if (!m_enabled || ppqn <= 0) {
        EndClicks(output, state);
        m_lastTick = tick;
        return;
    }
    auto beats = [ppqn](LONGLONG x) { return x / ppqn; };
    auto bar = [&beats](LONGLONG x) { return beats(x) / 4; };
    auto beatInBar = [&beats, &bar](LONGLONG x) { return beats(x) - 4 * bar(x); };

    LONGLONG referenceBar;
    LONGLONG referenceBeat;
    if (m_lastTick == 0 && tick != 0) {
        // The first movement away from tick 0 always starts a bar.
        referenceBar = bar(tick) - 1;
        referenceBeat = beatInBar(tick);
    } else if (m_lastTick == m_anchorTick && tick != m_anchorTick) {
        // Compare against the tick before the anchor, so that an anchor
        // lying exactly on a beat gets its click.
        referenceBar = bar(m_anchorTick - 1);
        referenceBeat = beatInBar(m_anchorTick - 1);
    } else {
        referenceBar = bar(m_lastTick);
        referenceBeat = beatInBar(m_lastTick);
    }
    bool accent = bar(tick) != referenceBar;
    bool beat = !accent && beatInBar(tick) != referenceBeat;
    if (accent || beat) {
        EndClicks(output, state);
        if (accent) {
            Click(output, state, m_accentChannel, m_accentKey, m_accentVelocity);
            m_accentOn = 1;
        } else {
            Click(output, state, m_beatChannel, m_beatKey, m_beatVelocity);
            m_beatOn = 1;
        }
    }
    m_lastTick = tick;
}

LONGLONG CMetronome::NextClickTick(LONGLONG ppqn) const
{
    if (!m_enabled || ppqn <= 0)
        return INT64_MAX;
    // Tick clicks as soon as the quarter note differs from that of its
    // reference position (see Tick), which for the first movement away from
    // tick 0 is any other position.
    if (m_lastTick == 0)
        return 1;
    const LONGLONG reference = m_lastTick == m_anchorTick ? m_anchorTick - 1 : m_lastTick;
    if ((m_lastTick + 1) / ppqn != reference / ppqn)
        return m_lastTick + 1;
    return (reference / ppqn + 1) * ppqn;
}

void CMetronome::Click(CSerialMidiOut* output, CPlayerState* state, BYTE channel, BYTE key, BYTE velocity)
{
    CMidiEvent event;
    event.m_status = static_cast<BYTE>(0x90 + (channel & 0x0F));
    event.m_data1 = key;
    event.m_data2 = velocity;
    output->Send(&event, state, TRUE);
}
