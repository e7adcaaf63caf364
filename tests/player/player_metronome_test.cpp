#include "PlayerTestSupport.h"

#include <tuple>

namespace {

const Message ACCENT { 0x99, 37, 127 };
const Message BEAT { 0x99, 37, 63 };
const Message OFF { 0x99, 37, 0 };

// A step resets the metronome at `reset` (when not negative), then ticks
// through the positions and expects what was sent; `next` is the tick the
// player is to wake for (0: not checked).
struct Step {
    LONGLONG reset;
    std::vector<LONGLONG> ticks;
    std::vector<Message> sent;
    LONGLONG next = 0;
};

// A metronome switched on, clicking into a started output.
struct Clicks {
    Clicks()
    {
        d.dialog.m_output.Start();
        d.Skip();
        metronome.m_enabled = TRUE;
    }

    void Run(const std::vector<Step>& steps, const char* what);

    CapturedDialog d;
    CMetronome metronome;
};

void Clicks::Run(const std::vector<Step>& steps, const char* what)
{
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        if (step.reset >= 0)
            metronome.Reset(&d.dialog.m_output, &d.state, step.reset);
        for (LONGLONG tick : step.ticks)
            metronome.Tick(&d.dialog.m_output, &d.state, tick);
        EXPECT_EQ(d.Take(), step.sent) << what << ", step " << i;
        if (step.next) {
            EXPECT_EQ(metronome.NextClickTick(d.state.m_meterMap), step.next) << what << ", step " << i;
        }
    }
}

}

TEST(Metronome, ClicksEveryBeatOfTheMeterAndAccentsTheFirstOfEachBar)
{
    // 6/8 from the start, 3/4 from tick 2304 (the start of bar 3): an eighth
    // is the beat, then a quarter, and a bar is six, then three.
    CTrack meter;
    for (auto [delta, numerator, power] : { std::tuple { 0, 6, 3 }, std::tuple { 2304, 3, 2 } })
        meter.AddEvent(delta, 0xFF, 0, 0, 0, 0x58, 4, new BYTE[5] { BYTE(numerator), BYTE(power), 24, 8, 0 });
    struct Case {
        const char* what;
        bool sixEight;
        std::vector<Step> steps;
    };
    for (const Case& c : std::vector<Case> {
             // Without a time signature the song is in 4/4. The first click
             // comes right after the start, then one at every beat; a jump
             // over several beats gives one click for the new position.
             { "4/4", false,
                 { { 0, { 0 }, {}, 1 }, { -1, { 3 }, { ACCENT }, 384 }, { -1, { 100, 383 }, {} },
                     { -1, { 384 }, { OFF, BEAT } }, { -1, { 769, 1153 }, { OFF, BEAT, OFF, BEAT } },
                     { -1, { 1536 }, { OFF, ACCENT } }, { -1, { 2400 }, { OFF, BEAT } },
                     { -1, { 9000 }, { OFF, ACCENT } } } },
             { "6/8 then 3/4", true,
                 { { 0, { 1 }, { ACCENT }, 192 }, { -1, { 192, 1151 }, { OFF, BEAT, OFF, BEAT } },
                     { -1, { 1152 }, { OFF, ACCENT } }, { -1, { 2304, 2500 }, { OFF, ACCENT }, 2688 },
                     { -1, { 2688, 3072, 3456 }, { OFF, BEAT, OFF, BEAT, OFF, ACCENT } } } },
             // A start on a beat clicks once the position moves; one inside
             // a beat waits for the next.
             { "start on a beat", false, { { 768, { 768 }, {}, 769 }, { -1, { 770 }, { BEAT } } } },
             { "start on a bar", false, { { 1536, { 1540 }, { ACCENT } } } },
             { "start inside a beat", false, { { 800, { 810, 1000, 1151 }, {}, 1152 }, { -1, { 1152 }, { BEAT } } } },
             // A reset keeps the sounding click for its note-off.
             { "reset while a click sounds", false,
                 { { 0, { 10 }, { ACCENT } }, { 384 * 5 + 10, { 384 * 5 + 20 }, {} }, { -1, { 384 * 6 }, { OFF, BEAT } } } },
         }) {
        Clicks clicks;
        if (c.sixEight)
            clicks.d.state.m_meterMap.Build(&meter, 384);
        clicks.Run(c.steps, c.what);
    }
}

TEST(Metronome, SwitchedOffItEndsTheSoundingClickAndFollows)
{
    Clicks clicks;
    clicks.Run({ { 0, { 10 }, { ACCENT } } }, "on");
    clicks.metronome.m_enabled = FALSE;
    EXPECT_EQ(clicks.metronome.NextClickTick(clicks.d.state.m_meterMap), INT64_MAX);
    clicks.Run({ { -1, { 384 }, { OFF } }, { -1, { 768, 1536 }, {} } }, "off");
    clicks.metronome.m_enabled = TRUE;
    clicks.Run({ { -1, { 1920 }, { BEAT } } }, "on again");
}

TEST(Metronome, ClicksAreTransposedOffTheUsersDrumChannelNeitherMutedNorTracked)
{
    Clicks clicks;
    CPlayerState& state = clicks.d.state;
    state.m_transpose = 2;
    state.m_drumChannel = 3;
    state.m_channels[9].m_muted = TRUE;
    clicks.Run(
        { { 0, { 10 }, { Msg({ 0x99, 39, 127 }) } }, { -1, { 400 }, { Msg({ 0x99, 39, 0 }), Msg({ 0x99, 39, 63 }) } } },
        "transposed");
    EXPECT_EQ(state.m_channels[9].m_notes, nullptr);
    EXPECT_EQ(state.m_channels[9].TakeLevel(), -10000);
    state.m_drumChannel = 9;
    clicks.Run({ { -1, { 800 }, { OFF, BEAT } } }, "on the drum channel");
}

TEST(Metronome, ClicksPrecedeTheSongsEventsOfTheSamePeriod)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    AddAt(d.AddTrack(), 384, 0x90, 50, 50);
    d.state.m_length = 5000;
    d.dialog.m_metronome.m_enabled = TRUE;
    d.Start();
    d.Skip();
    clock.Set(10);
    d.Period();
    EXPECT_EQ(d.Take(), std::vector<Message>({ ACCENT }));
    clock.Set(667);
    d.Period();
    EXPECT_EQ(d.Take(), std::vector<Message>({ OFF, BEAT, Msg({ 0x90, 50, 50 }) }));
}
