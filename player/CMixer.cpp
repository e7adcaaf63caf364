#include "player/CMixer.h"

#include "midiout/CSerialMidiOut.h"
#include "player/CPlayerState.h"

#include <algorithm>

namespace {

bool IsChannel(int channel)
{
    return channel >= 0 && channel < CMixerValues::CHANNELS;
}

}

CMixer::CMixer(CSerialMidiOut& output, CPlayerState& state)
    : m_output(output)
    , m_state(state)
{
}

void CMixer::Set(const CMixerValues& values)
{
    // A value read from a file is taken only as far as it makes sense.
    m_values = CMixerValues();
    for (int n = 0; n < CMixerValues::CHANNELS; ++n) {
        m_values.volume[size_t(n)] = std::clamp(values.volume[size_t(n)], 0, CMixerValues::FULL_VOLUME);
        m_values.pan[size_t(n)] = std::clamp(values.pan[size_t(n)], CMixerValues::PAN_AS_SONG, 127);
    }
    m_values.emphasisLevel = std::clamp(values.emphasisLevel, 0, CMixerValues::FULL_VOLUME);
    if (values.focus == CMixerValues::FOCUS_EMPHASIS)
        m_values.Emphasize(values.focusChannel, values.emphasisLevel);
    else if (values.focus == CMixerValues::FOCUS_MINUS_ONE)
        m_values.MinusOne(values.focusChannel);
    Publish();
}

void CMixer::Reset()
{
    const std::int32_t level = m_values.emphasisLevel;
    m_values = CMixerValues();
    m_values.emphasisLevel = level;
    Publish();
}

void CMixer::SetVolume(int channel, int percent)
{
    if (!IsChannel(channel))
        return;
    m_values.volume[size_t(channel)] = std::clamp(percent, 0, CMixerValues::FULL_VOLUME);
    Publish();
}

void CMixer::SetPan(int channel, int pan)
{
    if (!IsChannel(channel))
        return;
    m_values.pan[size_t(channel)] = std::clamp(pan, CMixerValues::PAN_AS_SONG, 127);
    Publish();
}

void CMixer::Emphasize(int channel)
{
    m_values.Emphasize(channel, m_values.emphasisLevel);
    Publish();
}

void CMixer::MinusOne(int channel)
{
    m_values.MinusOne(channel);
    Publish();
}

void CMixer::SetEmphasisLevel(int percent)
{
    m_values.emphasisLevel = std::clamp(percent, 0, CMixerValues::FULL_VOLUME);
    Publish();
}

void CMixer::Publish()
{
    m_output.RequestMix(m_values);
    // The player thread may sleep until its next event.
    m_state.Wake();
}
