#include "PlayerTestSupport.h"

// A thread that wakes late, past the song's end or the loop end, still sends
// what fell due before it; events at the end itself are not sent.
TEST(Tracks, AWakePastTheEndStillSendsWhatFellDueBeforeIt)
{
    for (const bool looping : { false, true }) {
        SCOPED_TRACE(looping ? "past the loop end" : "past the song's end");
        DrivenTickCount clock(0);
        CapturedDialog d;
        CTrack* track = d.AddTrack();
        AddAt(track, 0, 0x90, 40, 64);
        AddAt(track, 990, 0x90, 41, 64);
        AddAt(track, 1000, 0x90, 42, 64);
        d.state.m_ppqn = 480;
        d.state.m_meterMap.Reset(480);
        d.state.m_usPerQuarter = 480000; // one tick a millisecond
        d.state.m_length = looping ? 2000 : 1000;
        d.state.SetLoop(0, looping ? 1000 : -1, looping);
        d.Start(0);
        d.Skip();
        clock.Set(1500);
        d.Period();
        const std::vector<Message> sent = d.Take();
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.front(), Msg({ 0x90, 41, 64 }));
        for (const Message& m : sent)
            EXPECT_NE(m, Msg({ 0x90, 42, 64 }));
    }
}
