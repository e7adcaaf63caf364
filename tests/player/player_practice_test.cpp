#include "player/CMetronome.h"
#include "player/CPlayerState.h"
#include "player/CPractice.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

TEST(Practice, LoopPointsSnapToTheBeatSwapAndSwitchTheLoopOn)
{
    // 384 ticks per quarter in 4/4.
    struct Step {
        const char* what;
        std::function<void(CPractice&)> act;
        LONGLONG a, b;
        bool on;
    };
    const std::vector<Step> steps {
        { "A alone is no loop", [](CPractice& p) { p.SetLoopStart(1000); }, 768, -1, false },
        { "B before A swaps them", [](CPractice& p) { p.SetLoopEnd(500); }, 384, 768, true },
        { "off", [](CPractice& p) { p.SetLoopOn(FALSE); }, 384, 768, false },
        { "a new point switches it on", [](CPractice& p) { p.SetLoopEnd(2000); }, 384, 1920, true },
        { "A = B is no loop", [](CPractice& p) { p.SetLoopStart(1930); }, 1920, 1920, false },
        { "nothing to switch on", [](CPractice& p) { EXPECT_FALSE(p.SetLoopOn(TRUE)); }, 1920, 1920, false },
        { "cleared", [](CPractice& p) { p.ClearLoop(); }, -1, -1, false },
        { "both at once", [](CPractice& p) { EXPECT_TRUE(p.SetLoop(100, 200)); }, 100, 200, true },
        { "refused", [](CPractice& p) { EXPECT_FALSE(p.SetLoop(300, 300)); }, 100, 200, true },
    };
    CPlayerState state;
    CMetronome metronome;
    CPractice practice(state, metronome);
    for (const Step& step : steps) {
        step.act(practice);
        EXPECT_EQ(practice.LoopStart(), step.a) << step.what;
        EXPECT_EQ(practice.LoopEnd(), step.b) << step.what;
        // What the player thread sees.
        const CPlayerState::Loop loop = state.GetLoop();
        EXPECT_EQ(loop.on, step.on) << step.what;
        if (step.on) {
            EXPECT_EQ(loop.start, step.a) << step.what;
            EXPECT_EQ(loop.end, step.b) << step.what;
        }
    }
}

TEST(Practice, SoloMutesTheOthersAndTheSameAgainPutsBackTheMutesFromBefore)
{
    CPlayerState state;
    CMetronome metronome;
    CPractice practice(state, metronome);
    auto muted = [&practice]() {
        std::vector<int> channels;
        for (int n = 0; n < 16; ++n) {
            if (practice.IsMuted(n))
                channels.push_back(n);
        }
        return channels;
    };
    std::vector<int> allBut3;
    for (int n = 0; n < 16; ++n) {
        if (n != 3)
            allBut3.push_back(n);
    }
    practice.ToggleMute(9);
    practice.ToggleSolo(0);
    practice.ToggleSolo(3);
    EXPECT_EQ(muted(), allBut3);
    EXPECT_EQ(practice.SoloChannel(), 3);
    // Every channel muted since the solo began is to be cut.
    EXPECT_EQ(state.m_cutChannels, 0xFFFFu);
    practice.ToggleSolo(3);
    EXPECT_EQ(muted(), std::vector<int> { 9 });
    EXPECT_EQ(practice.SoloChannel(), -1);

    // A mute changed by hand ends the solo: the same again solos anew.
    practice.ToggleSolo(3);
    practice.ToggleMute(5);
    practice.ToggleSolo(3);
    EXPECT_EQ(practice.SoloChannel(), 3);
    practice.UnmuteAll();
    EXPECT_TRUE(muted().empty());
    EXPECT_FALSE(practice.AnyMuted());
}
