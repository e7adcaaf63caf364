#include "PlayerTestSupport.h"

#include "player/CPractice.h"
#include "player/CTransport.h"

#include <array>
#include <map>
#include <mutex>
#include <optional>

// One song through a session on the driven clock, one tick a millisecond:
// the start in mid-song, muting, transposition, a seek, the loop, the song's
// end and a second run. Each step checks what goes out and what the meters
// keep.
TEST(Session, OneSongFromStartThroughMuteTranspositionSeekAndLoopToItsEnd)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    d.TickPerMs();
    CTransport transport(d.state, nullptr, FALSE);
    CPractice practice(d.state, d.dialog.m_metronome);
    // Track by track: tick, status, data. The second track's bends are on
    // channel 0 older than the first's, on channel 1 the last, on channel 2
    // at the start position.
    for (const auto& track : std::vector<std::vector<std::array<int, 4>>> {
             { { 0, 0xB0, 7, 100 }, { 0, 0xC0, 5, 0 }, { 10, 0x90, 60, 90 }, { 20, 0xE0, 0, 64 }, { 100, 0xB0, 10, 30 },
                 { 150, 0xE0, 0x11, 0x50 }, { 200, 0x80, 60, 0 }, { 768, 0x90, 62, 80 }, { 900, 0x90, 64, 100 },
                 { 1000, 0x90, 65, 15 }, { 1000, 0x90, 66, 16 }, { 1050, 0x90, 67, 100 }, { 1600, 0x90, 70, 100 },
                 { 1950, 0x90, 72, 100 }, { 2000, 0x80, 70, 0 } },
             { { 50, 0xB1, 10, 20 }, { 120, 0xE0, 5, 6 }, { 700, 0xE1, 3, 4 }, { 768, 0xE2, 7, 8 },
                 { 1000, 0x91, 50, 100 } },
         }) {
        CTrack* added = d.AddTrack();
        for (const auto& [tick, status, data1, data2] : track)
            AddAt(added, tick, BYTE(status), BYTE(data1), BYTE(data2));
    }
    // What a seek sends again: channel by channel the program, the
    // controllers, and of the bends only each channel's last of all tracks.
    const Messages replay { { 0xC0, 5 }, { 0xB0, 7, 100 }, { 0xB0, 10, 30 }, { 0xE0, 0x11, 0x50 }, { 0xB1, 10, 20 },
        { 0xE1, 3, 4 } };
    CChannelLevel& channel0 = d.state.m_channels[0];
    // Runs a period at ms on the clock and returns what it sent.
    auto at = [&](DWORD ms) {
        clock.Set(ms);
        d.Period();
        return d.Take();
    };
    std::optional<testing::ScopedTrace> step;

    step.emplace(__FILE__, __LINE__, "without a song (length 0) nothing starts; a stop while idle sends nothing");
    EXPECT_FALSE(transport.Play());
    for (std::int32_t request : { STATE_START, STATE_STOP }) {
        d.state.m_playState = request;
        EXPECT_EQ(d.Period(), INFINITE);
        EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    }
    EXPECT_TRUE(d.Take().empty());

    step.emplace(__FILE__, __LINE__, "a start at 768: the replay, then the events at 768 itself");
    d.state.m_length = 2000;
    transport.SetPosition(768);
    ASSERT_TRUE(transport.Play());
    EXPECT_FALSE(transport.Play()) << "a start is already asked for";
    EXPECT_EQ(at(0), (Messages { ALL_OFF, VOLUMES } + replay + Messages { { 0x90, 62, 80 }, { 0xE2, 7, 8 } }));
    EXPECT_EQ(at(132), (Messages { { 0x90, 64, 100 } }));

    step.emplace(__FILE__, __LINE__, "muting cuts the channel; its notes below velocity 16 still go out");
    practice.SetMuted(0, TRUE);
    EXPECT_EQ(at(132), (Messages { { 0xB0, 120, 0 }, { 0xB0, 123, 0 } }));
    EXPECT_EQ(std::make_tuple(channel0.m_notes, channel0.TakeLevel()), std::make_tuple(nullptr, -10000));
    EXPECT_EQ(at(232), (Messages { { 0x90, 65, 15 }, { 0x91, 50, 100 } }));
    EXPECT_EQ(channel0.m_notes, nullptr);
    ASSERT_NE(d.state.m_channels[1].m_notes, nullptr);

    step.emplace(__FILE__, __LINE__, "a transposition cuts the notes, replays the controllers, plays on");
    practice.SetMuted(0, FALSE);
    ASSERT_TRUE(transport.StepTranspose(2));
    EXPECT_EQ(at(332), (Messages { ALL_OFF } + replay + Messages { { 0xE2, 7, 8 }, { 0x90, 69, 100 } }));
    EXPECT_EQ(d.state.m_playState, STATE_PLAYING);
    EXPECT_EQ(d.state.m_channels[1].m_notes, nullptr);
    ASSERT_NE(channel0.m_notes, nullptr);
    EXPECT_EQ(channel0.m_notes->m_key, 67) << "kept under the song's key";

    step.emplace(__FILE__, __LINE__, "a seek while the re-synchronisation is pending moves the tracks");
    ASSERT_TRUE(transport.StepTranspose(-2));
    transport.SetPosition(1500);
    at(332);
    EXPECT_EQ(d.state.m_currentTick, 1500);
    EXPECT_EQ(at(432), (Messages { { 0x90, 70, 100 } }));

    step.emplace(__FILE__, __LINE__, "past the loop end, and exactly at it, the song goes back to the loop start");
    ASSERT_TRUE(practice.SetLoop(1500, 1700));
    // What fell due before the loop end goes out first, however late the wake.
    for (const auto& [ms, due] : std::vector<std::pair<DWORD, Messages>> { { 582, {} }, { 782, { { 0x90, 70, 100 } } } }) {
        EXPECT_EQ(at(ms), (due + Messages { ALL_OFF } + replay + Messages { { 0xE2, 7, 8 } })) << ms;
        EXPECT_EQ(std::make_tuple(d.state.m_currentTick.load(), d.state.m_startTime.load(), channel0.m_notes),
            std::make_tuple(1500, ms * 1000, nullptr)) << ms;
    }
    // A loop that ends past the song's end turns at the end.
    ASSERT_TRUE(practice.SetLoop(1500, 5000));
    at(1282);
    EXPECT_EQ(d.state.m_currentTick, 1500);

    step.emplace(__FILE__, __LINE__, "the song stops at its end without the last tick's events");
    practice.ClearLoop();
    EXPECT_EQ(at(1700), (Messages { { 0x90, 70, 100 } }));
    // A wake late past 1950 still sends its note before the end.
    EXPECT_EQ(at(1782), (Messages { { 0x90, 72, 100 }, ALL_OFF }));
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    EXPECT_EQ(channel0.m_notes, nullptr);

    step.emplace(__FILE__, __LINE__, "played again it starts from 0, a tempo change before the start notwithstanding");
    ASSERT_TRUE(transport.Play());
    WaitForSingleObject(d.state.m_wake, 0);
    ASSERT_TRUE(transport.SetTempo(120));
    EXPECT_EQ(WaitForSingleObject(d.state.m_wake, 0), WAIT_OBJECT_0) << "the thread's sleep was at the old tempo";
    EXPECT_EQ(at(1782), (Messages { ALL_OFF, VOLUMES, { 0xB0, 7, 100 }, { 0xC0, 5 } }));
    EXPECT_EQ(d.state.m_currentTick, 0);
    // Every due event once, track after track; the finished track plays again.
    EXPECT_EQ(at(1882), (Messages { { 0x90, 60, 90 }, { 0xE0, 0, 64 }, { 0xB1, 10, 20 } }));

    step.emplace(__FILE__, __LINE__, "a stop sends the all-off and forgets the notes; the meter keeps the peak and falls");
    d.state.m_playState = STATE_STOP;
    d.dialog.m_bMetersMoving = FALSE;
    EXPECT_EQ(at(1882), (Messages { ALL_OFF }));
    EXPECT_EQ(std::make_pair(d.state.m_playState.load(), d.dialog.m_bMetersMoving.load()), std::make_pair(std::int32_t(STATE_STOPPED), TRUE));
    EXPECT_EQ(channel0.m_notes, nullptr);
    EXPECT_EQ(channel0.TakeLevel(), CChannelLevel::LevelOf(100));
}

// The clock starts once the start has sent the controllers in force, so the
// song does not catch up in a burst after a slow replay; the thread then
// sleeps until the next event, counted from the end of its work. A stop the
// dialog writes while the thread answers a start cuts the replay short and
// is not lost.
TEST(Session, TheClockStartsAfterTheReplayAndAStopWrittenMeanwhileIsNotLost)
{
    static CapturedDialog* d = nullptr;
    static std::mutex lock;
    static std::map<LONGLONG, size_t> written;
    static LONGLONG now = 0;
    static bool stopMeanwhile = false;
    CapturedDialog dialog;
    d = &dialog;
    AddAt(d->AddTrack(), 0, 0xB0, 11, 90);
    AddAt(d->AddTrack(), 0, 0xB1, 12, 80);
    AddAt(d->dialog.m_pTracks, 100, 0x90, 60, 100);
    d->state.m_length = 1000;
    // Every look at the clock, the device's at each byte among them, finds
    // it a millisecond later and notes how many bytes have gone out by then.
    SetPerformanceCounterSource([] {
        std::lock_guard<std::mutex> guard(lock);
        now += 1000;
        written[now] = d->Bytes().size();
        // The start is taken at once; the stop comes while its replay runs.
        if (std::int32_t started = STATE_REPLAYING; stopMeanwhile)
            d->state.m_playState.compare_exchange_strong(started, STATE_STOP);
        return now;
    });
    d->state.m_startTick = 50;
    d->state.m_playState = STATE_START;
    const DWORD sleep = d->Period();
    EXPECT_EQ(d->state.m_playState, STATE_PLAYING);
    EXPECT_EQ(d->Take(), (Messages { ALL_OFF, VOLUMES, { 0xB0, 11, 90 }, { 0xB1, 12, 80 } }));
    EXPECT_EQ(written[d->state.m_startTime], d->Bytes().size());
    EXPECT_GT(now, d->state.m_startTime);
    EXPECT_EQ(now + sleep, d->state.m_startTime + d->state.MicrosUntil(100, d->state.m_startTime));

    d->state.m_playState = STATE_STOP;
    d->Period();
    d->Take();
    stopMeanwhile = true;
    d->state.m_playState = STATE_START;
    d->Period();
    stopMeanwhile = false;
    EXPECT_EQ(std::make_pair(d->state.m_playState.load(), d->Take()), std::make_pair(std::int32_t(STATE_STOP), Messages { ALL_OFF, VOLUMES }));
    d->Period();
    SetPerformanceCounterSource(nullptr);
    EXPECT_EQ(std::make_pair(d->state.m_playState.load(), d->Take()), std::make_pair(std::int32_t(STATE_STOPPED), Messages { ALL_OFF }));
}
