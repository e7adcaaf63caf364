#include "player/CMetronome.h"
#include "player/CPlayerState.h"
#include "player/CPractice.h"
#include "player/CPracticeOptions.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
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

TEST(Practice, CommandLineLoopsCountBarsAndBeatsOfTheMeterFromOne)
{
    // 96 ticks per quarter: 3/4 (bars of 288), then 6/8 from bar 3 (tick 576,
    // beats of 48); the song ends at 2000.
    CTrack track;
    for (auto [delta, numerator, power] : { std::tuple { 0, 3, 2 }, std::tuple { 576, 6, 3 } })
        track.AddEvent(delta, 0xFF, 0, 0, 0, 0x58, 4, new BYTE[5] { BYTE(numerator), BYTE(power), 24, 8, 0 });
    CMeterMap meter;
    meter.Build(&track, 96);
    struct Case {
        const char* text;
        LONGLONG start, end;
        const char* error; // a part of the message; null when taken
    };
    for (const Case& c : {
             Case { "2-3", 288, 576, nullptr },
             Case { "1.3-3.6", 192, 816, nullptr },
             Case { "2-900", 288, meter.TickOf(899, 0), nullptr }, // turns at the song's end
             Case { "3.7-4", 0, 0, "bar 3 has 6 beats" },
             Case { "1-1.4", 0, 0, "bar 1 has 3 beats" },
             Case { "3-2", 0, 0, "ends before it starts" },
             Case { "2.2-2.2", 0, 0, "ends before it starts" },
             Case { "9-10", 0, 0, "past the song's end" },
             Case { "0-3", 0, 0, "takes bars" },
             Case { "1.0-2", 0, 0, "takes bars" },
             Case { "5", 0, 0, "takes bars" },
             Case { "5-", 0, 0, "takes bars" },
             Case { "1.2.3-4", 0, 0, "takes bars" },
             Case { "1-2-3", 0, 0, "takes bars" },
             Case { "99999999999999999999-2", 0, 0, "takes bars" },
         }) {
        CPracticeOptions options;
        EXPECT_EQ(options.SetLoop(c.text, meter, 2000), c.error == nullptr) << c.text;
        EXPECT_EQ(options.m_loopStart, c.start) << c.text;
        EXPECT_EQ(options.m_loopEnd, c.end) << c.text;
        EXPECT_NE(options.m_error.find(c.error ? c.error : ""), std::string::npos) << c.text << ": " << options.m_error;
    }

    // Channels: bit 0 is channel 1.
    struct Channels {
        const char* text;
        std::uint32_t muted;
        int solo;
    };
    for (const Channels& c : { Channels { "2,10", 0x202, -1 }, Channels { "16", 0x8000, 15 }, Channels { "1", 1, 0 },
             Channels { "17", 0, -1 }, Channels { "0", 0, -1 }, Channels { "2,,3", 0, -1 }, Channels { "", 0, -1 },
             Channels { "1,", 0, -1 } }) {
        CPracticeOptions options;
        EXPECT_EQ(options.AddMutes(c.text), c.muted != 0) << c.text;
        EXPECT_EQ(options.m_muted, c.muted) << c.text;
        EXPECT_EQ(options.SetSolo(c.text), c.solo >= 0) << c.text;
        EXPECT_EQ(options.m_solo, c.solo) << c.text;
    }
}
