#include "PlayerTestSupport.h"

#include <map>
#include <thread>

// Clicks on every beat of the meter, accented on the first of each bar; each
// step resets the metronome (unless -1), moves it through the ticks and
// expects the clicks as letters: A accent, B beat, o the sounding click's end.
TEST(Metronome, ClicksEveryBeatOfTheMeterAndAccentsTheFirstOfEachBar)
{
    // 6/8 from the start, 3/4 from tick 2304 (bar 3), 384 ticks a quarter.
    CTrack meter;
    AddAt(&meter, 0, 0xFF, 0, 0, 0x58, { 6, 3, 24, 8 });
    AddAt(&meter, 2304, 0xFF, 0, 0, 0x58, { 3, 2, 24, 8 });
    const std::map<Message, char> letters { { { 0x99, 37, 127 }, 'A' }, { { 0x99, 37, 63 }, 'B' },
        { { 0x99, 37, 0 }, 'o' } };
    // next: the tick the player is to wake for after the step (0: not checked).
    struct Step { LONGLONG reset; std::vector<LONGLONG> ticks; std::string sent; LONGLONG next = 0; BOOL on = TRUE; };
    struct Case { const char* what; std::vector<Step> steps; bool sixEight = false; bool eighths = false; };
    for (const Case& c : std::vector<Case> {
             // The first click comes right after the start; a jump over
             // several beats gives one click.
             { "4/4", { { 0, { 0 }, "", 1 }, { -1, { 3 }, "A", 384 }, { -1, { 100, 383 }, "" }, { -1, { 384 }, "oB" },
                          { -1, { 769, 1153 }, "oBoB" }, { -1, { 1536 }, "oA" }, { -1, { 9000 }, "oA" } } },
             // 6/8 clicks the dotted quarter, or every eighth when asked.
             { "6/8 then 3/4", { { 0, { 1 }, "A", 576 }, { -1, { 192, 575 }, "" }, { -1, { 576 }, "oB", 1152 },
                                   { -1, { 1151, 1152 }, "oA" }, { -1, { 2304, 2500 }, "oA", 2688 },
                                   { -1, { 2688, 3072, 3456 }, "oBoBoA" } },
                 true },
             { "6/8 eighths", { { 0, { 1 }, "A", 192 }, { -1, { 192, 1151 }, "oBoB" }, { -1, { 1152 }, "oA" } }, true,
                 true },
             // A start on a beat or a bar clicks once the position moves,
             // one inside a beat waits for the next; a start leaves the
             // sounding click to the next click to end.
             { "starts", { { 768, { 768 }, "", 769 }, { -1, { 770 }, "B" }, { 1536, { 1540 }, "oA" },
                             { 800, { 810, 1151 }, "", 1152 }, { -1, { 1152 }, "oB" } } },
             { "switched off it ends the sounding click",
                 { { 0, { 10 }, "A" }, { -1, { 384 }, "o", INT64_MAX, FALSE }, { -1, { 768, 1536 }, "", 0, FALSE },
                     { -1, { 1920 }, "B" } } },
         }) {
        CapturedDialog d;
        d.dialog.m_output.Start();
        d.Take();
        CMetronome& metronome = d.dialog.m_metronome;
        // Clicks are neither muted nor shown on the meter.
        d.state.m_channels[9].m_muted = TRUE;
        if (c.sixEight)
            d.state.m_meterMap.Build(&meter, 384);
        metronome.m_compoundEighths = c.eighths;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            metronome.m_enabled = step.on;
            if (step.reset >= 0)
                metronome.Reset(&d.dialog.m_output, &d.state, step.reset);
            for (LONGLONG tick : step.ticks)
                metronome.Tick(&d.dialog.m_output, &d.state, tick);
            std::string sent;
            for (const Message& m : d.Take())
                sent += letters.count(m) ? letters.at(m) : '?';
            EXPECT_EQ(sent, step.sent) << c.what << ", step " << i;
            if (step.next)
                EXPECT_EQ(metronome.NextClickTick(d.state.m_meterMap), step.next) << c.what << ", step " << i;
        }
        EXPECT_EQ(d.state.m_channels[9].m_notes, nullptr) << c.what;
    }
}

// A note's level sinks one step a refresh down to the bottom; a note-off
// (or a Note On of velocity 0) ends every entry of its key and no other.
// The refresh may read while the player thread changes the notes (the
// sanitizer builds check the lock).
TEST(Level, AHeldNoteSinksToTheBottomAndANoteOffEndsEveryEntryOfItsKeyOnly)
{
    CTrack holder;
    CPlayerState state;
    auto event = [&](BYTE status, BYTE key, BYTE velocity) { return AddAt(&holder, 0, status, key, velocity); };
    CChannelLevel& channel = state.m_channels[3];
    for (CMidiEvent* e : { event(0x93, 60, 50), event(0x93, 62, 127), event(0x93, 60, 50), event(0x83, 70, 0),
             event(0xA3, 60, 0), event(0xB3, 123, 0) })
        state.TrackNote(e);
    EXPECT_EQ(channel.TakeLevel(), 0);
    state.TrackNote(event(0x93, 60, 0));
    ASSERT_NE(channel.m_notes, nullptr);
    EXPECT_EQ(channel.m_notes->m_key, 62);
    EXPECT_EQ(channel.m_notes->m_next, channel.m_notes);
    for (int i = 0; i < 130; ++i)
        channel.TakeLevel();
    EXPECT_EQ(channel.TakeLevel(), CChannelLevel::LevelOf(1));
    state.TrackNote(event(0x83, 62, 64));
    EXPECT_EQ(channel.m_notes, nullptr);
    CMidiEvent *on = event(0x93, 60, 100), *off = event(0x83, 60, 0);
    std::atomic<bool> done { false };
    std::thread player([&] {
        for (int i = 0; i < 20000; ++i)
            state.TrackNote(i % 2 ? off : on);
        done = true;
    });
    while (!done) {
        const std::int32_t level = channel.TakeLevel();
        EXPECT_TRUE(level == -10000 || (level >= CChannelLevel::LevelOf(1) && level <= 0)) << level;
    }
    player.join();
    EXPECT_EQ(channel.m_notes, nullptr);
    channel.TakeLevel();
    EXPECT_EQ(channel.TakeLevel(), -10000);
}
