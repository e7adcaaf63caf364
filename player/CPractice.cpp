#include "player/CPractice.h"

#include "player/CMetronome.h"
#include "player/CPlayerState.h"

#include <utility>

namespace {

constexpr std::uint32_t ALL_CHANNELS = 0xFFFF;

bool IsChannel(int channel)
{
    return channel >= 0 && channel < 16;
}

}

CPractice::CPractice(CPlayerState& state, CMetronome& metronome)
    : m_state(state)
    , m_metronome(metronome)
{
}

void CPractice::Reset()
{
    m_loopStart = -1;
    m_loopEnd = -1;
    m_loopOn = FALSE;
    m_soloChannel = -1;
    m_beforeSolo = 0;
    PublishLoop();
}

BOOL CPractice::HasLoop() const
{
    return m_loopStart >= 0 && m_loopEnd >= 0 && m_loopStart != m_loopEnd;
}

void CPractice::SetLoopPoint(LONGLONG& point, LONGLONG tick)
{
    point = m_state.m_meterMap.BeatStart(tick);
    if (m_loopStart >= 0 && m_loopEnd >= 0 && m_loopEnd < m_loopStart)
        std::swap(m_loopStart, m_loopEnd);
    m_loopOn = HasLoop();
    PublishLoop();
}

void CPractice::SetLoopStart(LONGLONG tick)
{
    SetLoopPoint(m_loopStart, tick);
}

void CPractice::SetLoopEnd(LONGLONG tick)
{
    SetLoopPoint(m_loopEnd, tick);
}

BOOL CPractice::SetLoop(LONGLONG start, LONGLONG end)
{
    if (start < 0 || end <= start)
        return FALSE;
    m_loopStart = start;
    m_loopEnd = end;
    m_loopOn = TRUE;
    PublishLoop();
    return TRUE;
}

void CPractice::ClearLoop()
{
    m_loopStart = -1;
    m_loopEnd = -1;
    m_loopOn = FALSE;
    PublishLoop();
}

BOOL CPractice::SetLoopOn(BOOL on)
{
    if (!HasLoop())
        return FALSE;
    m_loopOn = on ? TRUE : FALSE;
    PublishLoop();
    return TRUE;
}

void CPractice::PublishLoop()
{
    m_state.SetLoop(m_loopOn ? m_loopStart : 0, m_loopOn ? m_loopEnd : 0, m_loopOn);
    // The thread may sleep past the new loop end, or must leave the old one.
    m_state.Wake();
}

std::uint32_t CPractice::MutedChannels() const
{
    std::uint32_t channels = 0;
    for (int n = 0; n < 16; ++n) {
        if (m_state.m_channels[n].m_muted)
            channels |= 1u << n;
    }
    return channels;
}

void CPractice::ApplyMutes(std::uint32_t channels)
{
    std::uint32_t cut = 0;
    for (int n = 0; n < 16; ++n) {
        const BOOL muted = (channels >> n) & 1u ? TRUE : FALSE;
        if (m_state.m_channels[n].m_muted.exchange(muted) != muted && muted)
            cut |= 1u << n;
    }
    if (cut == 0)
        return;
    // The flag comes first: a note the thread sends after the cut is
    // already dropped.
    m_state.m_cutChannels.fetch_or(cut);
    m_state.Wake();
}

void CPractice::SetMuted(int channel, BOOL muted)
{
    if (!IsChannel(channel))
        return;
    const std::uint32_t bit = 1u << channel;
    m_soloChannel = -1;
    ApplyMutes(muted ? MutedChannels() | bit : MutedChannels() & ~bit);
}

void CPractice::ToggleMute(int channel)
{
    SetMuted(channel, !IsMuted(channel));
}

void CPractice::ToggleSolo(int channel)
{
    if (!IsChannel(channel))
        return;
    if (m_soloChannel == channel) {
        m_soloChannel = -1;
        ApplyMutes(m_beforeSolo);
        return;
    }
    if (m_soloChannel < 0)
        m_beforeSolo = MutedChannels();
    m_soloChannel = channel;
    ApplyMutes(ALL_CHANNELS & ~(1u << channel));
}

void CPractice::UnmuteAll()
{
    m_soloChannel = -1;
    ApplyMutes(0);
}

BOOL CPractice::IsMuted(int channel) const
{
    return IsChannel(channel) && m_state.m_channels[channel].m_muted ? TRUE : FALSE;
}

BOOL CPractice::AnyMuted() const
{
    return MutedChannels() != 0 ? TRUE : FALSE;
}

void CPractice::SetMetronome(BOOL on)
{
    m_metronome.m_enabled = on ? TRUE : FALSE;
    // The thread sleeps until its next event; the next click may come first.
    m_state.Wake();
}

BOOL CPractice::MetronomeOn() const
{
    return m_metronome.m_enabled;
}
