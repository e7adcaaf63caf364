#include "PlayerTestSupport.h"

#include <tuple>

namespace {

const Message ACCENT { 0x99, 37, 127 };
const Message BEAT { 0x99, 37, 63 };
const Message OFF { 0x99, 37, 0 };

class MetronomeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        d.dialog.m_output.Start();
        d.Skip();
        metronome.m_enabled = TRUE;
    }

    // Ticks through the positions and returns what was sent.
    std::vector<Message> Run(std::initializer_list<LONGLONG> ticks)
    {
        for (LONGLONG tick : ticks)
            metronome.Tick(&d.dialog.m_output, &d.state, tick);
        return d.Take();
    }

    void Reset(LONGLONG tick) { metronome.Reset(&d.dialog.m_output, &d.state, tick); }

    CapturedDialog d;
    CMetronome metronome;
};

}

TEST_F(MetronomeTest, ClicksEveryBeatOfTheMeterAndAccentsTheFirstOfEachBar)
{
    // Without a time signature the song is in 4/4.
    Reset(0);
    EXPECT_TRUE(Run({ 0 }).empty());
    // The player sleeps until the next click: the first one right after
    // the start, then at every beat.
    EXPECT_EQ(metronome.NextClickTick(d.state.m_meterMap), 1);
    EXPECT_EQ(Run({ 3 }), std::vector<Message>({ ACCENT }));
    EXPECT_EQ(metronome.NextClickTick(d.state.m_meterMap), 384);
    EXPECT_TRUE(Run({ 100, 383 }).empty());
    EXPECT_EQ(Run({ 384 }), std::vector<Message>({ OFF, BEAT }));
    EXPECT_EQ(Run({ 769, 1153 }), std::vector<Message>({ OFF, BEAT, OFF, BEAT }));
    EXPECT_EQ(Run({ 1536 }), std::vector<Message>({ OFF, ACCENT }));
    // A jump over several beats gives one click for the new position.
    EXPECT_EQ(Run({ 2400 }), std::vector<Message>({ OFF, BEAT }));
    EXPECT_EQ(Run({ 9000 }), std::vector<Message>({ OFF, ACCENT }));

    // 6/8 from the start, 3/4 from tick 2304 (the start of bar 3): an
    // eighth is the beat, then a quarter, and a bar is six, then three.
    CTrack track;
    for (auto [delta, numerator, power] : { std::tuple { 0, 6, 3 }, std::tuple { 2304, 3, 2 } })
        track.AddEvent(delta, 0xFF, 0, 0, 0, 0x58, 4, new BYTE[5] { BYTE(numerator), BYTE(power), 24, 8, 0 });
    d.state.m_meterMap.Build(&track, 384);
    Reset(0);
    EXPECT_EQ(Run({ 1 }), std::vector<Message>({ OFF, ACCENT }));
    EXPECT_EQ(metronome.NextClickTick(d.state.m_meterMap), 192);
    EXPECT_EQ(Run({ 192, 1151 }), std::vector<Message>({ OFF, BEAT, OFF, BEAT }));
    EXPECT_EQ(Run({ 1152 }), std::vector<Message>({ OFF, ACCENT }));
    EXPECT_EQ(Run({ 2304, 2500 }), std::vector<Message>({ OFF, ACCENT }));
    EXPECT_EQ(metronome.NextClickTick(d.state.m_meterMap), 2688);
    EXPECT_EQ(Run({ 2688, 3072, 3456 }), std::vector<Message>({ OFF, BEAT, OFF, BEAT, OFF, ACCENT }));
}

TEST_F(MetronomeTest, AStartOnABeatClicksOnceThePositionMoves)
{
    Reset(768);
    EXPECT_TRUE(Run({ 768 }).empty());
    EXPECT_EQ(metronome.NextClickTick(d.state.m_meterMap), 769);
    EXPECT_EQ(Run({ 770 }), std::vector<Message>({ BEAT }));

    CMetronome fresh;
    fresh.m_enabled = TRUE;
    fresh.Reset(&d.dialog.m_output, &d.state, 1536);
    fresh.Tick(&d.dialog.m_output, &d.state, 1540);
    EXPECT_EQ(d.Take(), std::vector<Message>({ ACCENT }));
}

TEST_F(MetronomeTest, AStartInsideABeatWaitsForTheNextBeat)
{
    Reset(800);
    EXPECT_EQ(metronome.NextClickTick(d.state.m_meterMap), 1152);
    EXPECT_TRUE(Run({ 810, 1000, 1151 }).empty());
    EXPECT_EQ(Run({ 1152 }), std::vector<Message>({ BEAT }));
}

TEST_F(MetronomeTest, ResetKeepsTheSoundingClickForItsNoteOff)
{
    Reset(0);
    Run({ 10 });
    Reset(384 * 5 + 10);
    EXPECT_TRUE(Run({ 384 * 5 + 20 }).empty());
    EXPECT_EQ(Run({ 384 * 6 }), std::vector<Message>({ OFF, BEAT }));
}

TEST_F(MetronomeTest, SwitchedOffItEndsTheSoundingClickAndFollows)
{
    Reset(0);
    Run({ 10 });
    metronome.m_enabled = FALSE;
    EXPECT_EQ(metronome.NextClickTick(d.state.m_meterMap), INT64_MAX);
    EXPECT_EQ(Run({ 384 }), std::vector<Message>({ OFF }));
    EXPECT_TRUE(Run({ 768, 1536 }).empty());
    EXPECT_EQ(metronome.m_lastTick, 1536);
    metronome.m_enabled = TRUE;
    EXPECT_EQ(Run({ 1920 }), std::vector<Message>({ BEAT }));
}

TEST_F(MetronomeTest, ClicksAreTransposedOffTheUsersDrumChannel)
{
    d.state.m_transpose = 2;
    d.state.m_drumChannel = 3;
    Reset(0);
    EXPECT_EQ(Run({ 10 }), std::vector<Message>({ Msg({ 0x99, 39, 127 }) }));
    EXPECT_EQ(Run({ 400 }), std::vector<Message>({ Msg({ 0x99, 39, 0 }), Msg({ 0x99, 39, 63 }) }));
    d.state.m_drumChannel = 9;
    EXPECT_EQ(Run({ 800 }), std::vector<Message>({ OFF, BEAT }));
}

TEST_F(MetronomeTest, ClicksAreNeitherMutedNorTracked)
{
    d.state.m_channels[9].m_muted = TRUE;
    Reset(0);
    EXPECT_EQ(Run({ 10 }), std::vector<Message>({ ACCENT }));
    EXPECT_EQ(d.state.m_channels[9].m_notes, nullptr);
    EXPECT_EQ(d.state.m_channels[9].TakeLevel(), -10000);
}

TEST(Metronome, ClicksPrecedeTheSongsEventsOfTheSamePeriod)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    AddAt(d.AddTrack(), 384, 0x90, 50, 50);
    d.state.m_length = 5000;
    d.dialog.m_metronome.m_enabled = TRUE;
    d.state.m_playState = STATE_START;
    d.Period();
    d.Skip();
    clock.Set(10);
    d.Period();
    EXPECT_EQ(d.Take(), std::vector<Message>({ ACCENT }));
    clock.Set(667);
    d.Period();
    EXPECT_EQ(d.Take(), std::vector<Message>({ OFF, BEAT, Msg({ 0x90, 50, 50 }) }));
}
