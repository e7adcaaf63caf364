#pragma once

#include "platform/core/WinTypes.h"
#include "player/CSpeedTrainerSettings.h"

#include <atomic>
#include <cstdint>
#include <mutex>

class CPlayerState;

// The speed trainer at work on the A-B loop: the player thread restarts it
// when playback starts with the loop on, and moves it on at every turn of
// the loop, setting the user's tempo for the pass that begins. The window
// and tabrino-play read the pass and the tempo.
class CSpeedTrainer {
public:
    // Any thread. Settings switched off stop the trainer where it is; the
    // tempo stays as it was last set.
    void SetSettings(const CSpeedTrainerSettings& settings);
    CSpeedTrainerSettings Settings() const;

    // Player thread: a start with the loop on (pass 1 at the first
    // percentage), and a turn of the loop (the next pass).
    void Restart(CPlayerState& state);
    void NextPass(CPlayerState& state);

    // The tempo in beats per minute for a percentage of the song's first
    // tempo, within the tempo box's range.
    static std::int32_t BpmFor(const CPlayerState& state, int percent);

    // While it runs: the pass playing now (from 1) and its percentage;
    // pass 0 while it does not run.
    std::atomic<long long> m_pass { 0 };
    std::atomic<int> m_percent { 0 };

private:
    void SetPass(CPlayerState& state, long long pass);

    mutable std::mutex m_lock;
    CSpeedTrainerSettings m_settings;
};
