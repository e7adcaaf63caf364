#include "PlayerTestSupport.h"

#include <thread>

namespace {

CMidiEvent* Event(CTrack& holder, BYTE status, BYTE key, BYTE velocity)
{
    return holder.AddEvent(0, status, key, velocity, 0, 0, 0, nullptr);
}

int Count(CSoundingNote* notes)
{
    int n = 0;
    CRing::ForEach(notes, [&n](CSoundingNote*) { ++n; });
    return n;
}

}

TEST(Level, AHeldNoteSinksOneStepPerRefreshDownToTheBottom)
{
    CChannelLevel channel;
    EXPECT_EQ(channel.TakeLevel(), -10000);
    channel.AddNote(60, 127);
    EXPECT_EQ(channel.TakeLevel(), 0);
    EXPECT_EQ(channel.TakeLevel(), -79);
    EXPECT_EQ(channel.TakeLevel(), -158);
    for (int i = 0; i < 123; ++i)
        channel.TakeLevel();
    EXPECT_EQ(channel.TakeLevel(), -9922);
    EXPECT_EQ(channel.TakeLevel(), -9922);
    EXPECT_EQ(channel.m_notes->m_value, 1);
}

TEST(Level, AShortNoteShowsItsPeakOnce)
{
    CTrack holder;
    CChannelLevel channel;
    channel.NoteEvent(Event(holder, 0x90, 60, 100));
    channel.NoteEvent(Event(holder, 0x80, 60, 0));
    EXPECT_EQ(channel.m_notes, nullptr);
    EXPECT_EQ(channel.TakeLevel(), -2126);
    EXPECT_EQ(channel.TakeLevel(), -10000);

    // ClearNotes drops the notes but not the peak.
    channel.AddNote(61, 64);
    channel.ClearNotes();
    EXPECT_EQ(channel.TakeLevel(), -4961);
    EXPECT_EQ(channel.TakeLevel(), -10000);
}

TEST(Level, NoteOffsRemoveEveryEntryOfTheirKeyOnly)
{
    CTrack holder;
    CChannelLevel channel;
    channel.NoteEvent(Event(holder, 0x93, 60, 50));
    channel.NoteEvent(Event(holder, 0x93, 62, 50));
    channel.NoteEvent(Event(holder, 0x93, 60, 70));
    EXPECT_EQ(Count(channel.m_notes), 3);
    // Other keys, key pressure and controllers change nothing.
    channel.NoteEvent(Event(holder, 0x83, 70, 0));
    CPlayerState state;
    for (BYTE status : { 0xA3, 0xB3 })
        state.TrackNote(Event(holder, status, 60, 100));
    state.TrackNote(Event(holder, 0x93, 60, 100));
    EXPECT_EQ(Count(channel.m_notes), 3);
    EXPECT_EQ(Count(state.m_channels[3].m_notes), 1);
    // A Note On with velocity 0 is a note-off.
    channel.NoteEvent(Event(holder, 0x93, 60, 0));
    ASSERT_EQ(Count(channel.m_notes), 1);
    EXPECT_EQ(channel.m_notes->m_key, 62);
    channel.NoteEvent(Event(holder, 0x83, 62, 64));
    EXPECT_EQ(channel.m_notes, nullptr);
}

TEST(Level, TheMeterRefreshMayReadWhileThePlayerChangesTheNotes)
{
    CTrack holder;
    CPlayerState state;
    CMidiEvent* on = Event(holder, 0x90, 60, 100);
    CMidiEvent* off = Event(holder, 0x80, 60, 0);
    std::atomic<bool> done { false };
    std::atomic<bool> reading { false };
    std::thread player([&] {
        // The changes begin once the refreshes run, so that the two overlap.
        while (!reading)
            std::this_thread::yield();
        for (int i = 0; i < 20000; ++i) {
            state.TrackNote(on);
            state.TrackNote(on);
            state.TrackNote(off);
            if (i % 100 == 0)
                state.ClearNotes();
        }
        state.TrackNote(on);
        done = true;
    });
    int refreshes = 0;
    reading = true;
    do {
        std::int32_t level = state.m_channels[0].TakeLevel();
        EXPECT_TRUE(level == -10000 || (level >= -9922 && level <= -2126)) << level;
        ++refreshes;
    } while (!done);
    player.join();
    EXPECT_GT(refreshes, 0);
    EXPECT_EQ(Count(state.m_channels[0].m_notes), 1);
}
