#include "player/CMetronome.h"
#include "player/CPlayerState.h"
#include "player/CPractice.h"
#include "player/CPracticeOptions.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <tuple>

// Loop points snap to their beat (384 ticks in 4/4), B before A changes
// their places, and the player thread sees each loop as one whole. A solo
// mutes every other channel; the same again puts back the mutes from before.
TEST(Practice, LoopPointsAndSolo)
{
    CPlayerState state;
    CMetronome metronome;
    CPractice practice(state, metronome);
    // A step, the loop points after it and whether the loop is on.
    using Step = std::tuple<std::function<BOOL(CPractice&)>, LONGLONG, LONGLONG, bool>;
    for (const auto& [act, a, b, on] : std::vector<Step> {
             { [](CPractice& p) { return p.SetLoopStart(1000), TRUE; }, 768, -1, false },
             { [](CPractice& p) { return p.SetLoopEnd(500), TRUE; }, 384, 768, true },
             { [](CPractice& p) { return p.SetLoopOn(FALSE); }, 384, 768, false },
             { [](CPractice& p) { return p.SetLoopEnd(2000), TRUE; }, 384, 1920, true },
             { [](CPractice& p) { return p.SetLoopStart(1930), TRUE; }, 1920, 1920, false },
             { [](CPractice& p) { return !p.SetLoopOn(TRUE); }, 1920, 1920, false },
             { [](CPractice& p) { return p.SetLoop(100, 200); }, 100, 200, true },
             { [](CPractice& p) { return !p.SetLoop(300, 300); }, 100, 200, true },
         }) {
        SCOPED_TRACE(testing::Message() << "the step to " << a << "-" << b);
        EXPECT_TRUE(act(practice));
        EXPECT_EQ(std::make_pair(practice.LoopStart(), practice.LoopEnd()), std::make_pair(a, b));
        const CPlayerState::Loop loop = state.GetLoop(); // what the player thread sees
        EXPECT_EQ(loop.on, on);
        EXPECT_TRUE(!on || (loop.start == a && loop.end == b));
    }

    practice.ToggleMute(9);
    practice.ToggleSolo(0);
    practice.ToggleSolo(3);
    EXPECT_EQ(practice.SoloChannel(), 3);
    for (int n = 0; n < 16; ++n)
        EXPECT_EQ(practice.IsMuted(n), n != 3) << n;
    EXPECT_EQ(state.m_cutChannels, 0xFFFFu) << "every channel muted meanwhile is to be cut";
    practice.ToggleSolo(3);
    EXPECT_EQ(practice.SoloChannel(), -1);
    for (int n = 0; n < 16; ++n)
        EXPECT_EQ(practice.IsMuted(n), n == 9) << n;
    // A mute changed by hand ends the solo: the same again solos anew.
    practice.ToggleSolo(3);
    practice.ToggleMute(5);
    practice.ToggleSolo(3);
    EXPECT_EQ(practice.SoloChannel(), 3);
}

// The command line's --loop counts bars and beats of the song's meter from
// one, --mute and --solo channels from one; what cannot be taken is refused
// with the reason and changes nothing.
TEST(Practice, CommandLineOptions)
{
    // 96 ticks a quarter: 3/4 (bars of 288), then 6/8 from bar 3 (tick 576,
    // beats of 48); the song ends at 2000.
    CTrack track;
    const BYTE threeFour[] = { 3, 2, 24, 8 }, sixEight[] = { 6, 3, 24, 8 };
    track.AddEvent(0, 0xFF, 0, 0, 0x58, threeFour, 4);
    track.AddEvent(576, 0xFF, 0, 0, 0x58, sixEight, 4);
    CMeterMap meter;
    meter.Build(&track, 96);
    // The text, the loop taken, and a part of the message (null when taken).
    for (const auto& [text, start, end, error] : std::vector<std::tuple<const char*, LONGLONG, LONGLONG, const char*>> {
             { "2-3", 288, 576, nullptr }, { "1.3-3.6", 192, 816, nullptr },
             { "2-900", 288, meter.TickOf(899, 0), nullptr }, // turns at the song's end
             { "3.7-4", 0, 0, "bar 3 has 6 beats" }, { "1-1.4", 0, 0, "bar 1 has 3 beats" },
             { "3-2", 0, 0, "ends before it starts" }, { "2.2-2.2", 0, 0, "ends before it starts" },
             { "9-10", 0, 0, "past the song's end at 7.6.032" }, { "0-3", 0, 0, "takes bars" },
             { "1.0-2", 0, 0, "takes bars" }, { "5-", 0, 0, "takes bars" }, { "1-2-3", 0, 0, "takes bars" },
             { "1.2.3-4", 0, 0, "takes bars" }, { "99999999999999999999-2", 0, 0, "takes bars" } }) {
        CPracticeOptions options;
        EXPECT_EQ(options.SetLoop(text, meter, 2000), error == nullptr) << text;
        EXPECT_EQ(std::make_pair(options.m_loopStart, options.m_loopEnd), std::make_pair(start, end)) << text;
        EXPECT_NE(options.m_error.find(error ? error : ""), std::string::npos) << text << ": " << options.m_error;
    }
    // The text, the channels muted (bit 0 is channel 1) and the solo taken.
    for (const auto& [text, muted, solo] : std::vector<std::tuple<const char*, std::uint32_t, int>> {
             { "2,10", 0x202, -1 }, { "16", 0x8000, 15 }, { "1", 1, 0 }, { "17", 0, -1 }, { "0", 0, -1 },
             { "2,,3", 0, -1 }, { "", 0, -1 }, { "1,", 0, -1 } }) {
        CPracticeOptions options;
        EXPECT_EQ(options.AddMutes(text), muted != 0) << text;
        EXPECT_EQ(options.SetSolo(text), solo >= 0) << text;
        EXPECT_EQ(std::make_pair(options.m_muted, options.m_solo), std::make_pair(muted, solo)) << text;
    }
    // --emphasis N[,LEVEL] and --minus-one N: the mix taken (focus, channel
    // from 0, level), or refused; the last given wins.
    for (const auto& [emphasis, text, taken] : std::vector<std::tuple<bool, const char*, std::array<int, 3>>> {
             { true, "3", { CMixerValues::FOCUS_EMPHASIS, 2, 30 } }, { true, "16,0", { CMixerValues::FOCUS_EMPHASIS, 15, 0 } },
             { true, "1,100", { CMixerValues::FOCUS_EMPHASIS, 0, 100 } }, { true, "1,101", { 0, -1, 30 } },
             { true, "1,", { 0, -1, 30 } }, { true, "17", { 0, -1, 30 } }, { true, ",20", { 0, -1, 30 } },
             { false, "4", { CMixerValues::FOCUS_MINUS_ONE, 3, 30 } }, { false, "4,20", { 0, -1, 30 } } }) {
        CPracticeOptions options;
        EXPECT_EQ(emphasis ? options.SetEmphasis(text) : options.SetMinusOne(text), taken[0] != 0) << text;
        EXPECT_EQ((std::array<int, 3> { options.m_mix.focus, options.m_mix.focusChannel, options.m_mix.emphasisLevel }), taken) << text;
    }
    CPracticeOptions both;
    ASSERT_TRUE(both.SetEmphasis("2,10") && both.SetMinusOne("5"));
    EXPECT_EQ(std::make_pair(both.m_mix.focus, both.m_mix.focusChannel), std::make_pair(std::int32_t(CMixerValues::FOCUS_MINUS_ONE), 4));
    // --solo on the channel a remembered solo holds keeps it on.
    CPlayerState state;
    CMetronome metronome;
    CPractice practice(state, metronome);
    practice.ToggleSolo(3);
    CPracticeOptions solo;
    ASSERT_TRUE(solo.SetSolo("4"));
    solo.ApplyTo(practice);
    EXPECT_EQ(practice.SoloChannel(), 3);
}
