#include "player/CSpeedTrainer.h"

#include "player/CPlayerState.h"

#include <algorithm>

void CSpeedTrainer::SetSettings(const CSpeedTrainerSettings& settings)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_settings = settings;
    if (!settings.on)
        m_pass = 0;
}

CSpeedTrainerSettings CSpeedTrainer::Settings() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_settings;
}

std::int32_t CSpeedTrainer::BpmFor(const CPlayerState& state, int percent)
{
    const LONGLONG first = state.m_tempoMap.FirstTempo();
    if (first <= 0)
        return state.m_bpm;
    // Rounded to the nearest whole beat per minute, as the tempo box shows.
    const LONGLONG bpm = (60000000LL * percent + 50 * first) / (100 * first);
    return static_cast<std::int32_t>(std::clamp<LONGLONG>(bpm, CPlayerState::MIN_BPM, CPlayerState::MAX_BPM));
}

void CSpeedTrainer::SetPass(CPlayerState& state, long long pass)
{
    const CSpeedTrainerSettings settings = Settings();
    if (!settings.on) {
        m_pass = 0;
        return;
    }
    const int percent = settings.PercentForPass(pass - 1);
    state.SetTempo(BpmFor(state, percent));
    m_percent = percent;
    m_pass = pass;
}

void CSpeedTrainer::Restart(CPlayerState& state)
{
    SetPass(state, 1);
}

void CSpeedTrainer::NextPass(CPlayerState& state)
{
    // A trainer switched on while the loop already ran starts at its first
    // pass.
    const long long pass = m_pass;
    SetPass(state, pass > 0 ? pass + 1 : 1);
}
