#include "player/CDrivenPlayer.h"

#include "platform/core/DrivenTickCount.h"
#include "player/CPlayerEngine.h"
#include "player/CPlayerHost.h"

namespace {

template <class Clock>
void RunOn(CPlayerHost& host, Clock& clock, const CDrivenPlayer::PeriodDone& periodDone)
{
    CPlayerState& state = host.m_playerState;
    for (;;) {
        const DWORD sleep = CPlayerEngine::RunPeriod(host);
        // Nothing but a request could bring work, and nobody else makes one.
        if (sleep == INFINITE || state.m_playState == STATE_STOPPED)
            return;
        if (periodDone && !periodDone()) {
            // The clock stands still: the stop takes effect where it was asked.
            state.m_playState = STATE_STOP;
            continue;
        }
        clock.AdvanceMicros(sleep);
    }
}

}

void CDrivenPlayer::Run(CPlayerHost& host, DrivenTickCount& clock, const PeriodDone& periodDone)
{
    RunOn(host, clock, periodDone);
}

void CDrivenPlayer::Run(CPlayerHost& host, ThreadDrivenTickCount& clock, const PeriodDone& periodDone)
{
    RunOn(host, clock, periodDone);
}
