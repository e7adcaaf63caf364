#include "song/CSongInfo.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(SongModel, AddEventAccumulatesTicksPast32Bits)
{
    CTrack track;
    EXPECT_EQ(track.GetLastTick(), 0);
    track.AddEvent(96, 0x90, 60, 100, 0, 0, 0, nullptr);
    track.AddEvent(0, 0x80, 60, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(track.m_firstEvent->m_tick, 96);
    EXPECT_EQ(track.GetLastTick(), 96);
    track.AddEvent(0xFFFFFFFFu, 0x90, 62, 100, 0, 0, 0, nullptr);
    track.AddEvent(0xFFFFFFFFu, 0x80, 62, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(track.GetLastTick(), 96 + 2 * 0xFFFFFFFFLL);
    EXPECT_EQ(track.m_firstEvent->m_prev->m_delta, 0xFFFFFFFFu);
}

TEST(SongModel, EventOwnsItsPayload)
{
    // Run under the address sanitizer, a leaked or twice-freed block fails.
    CTrack track;
    auto* payload = new BYTE[6];
    std::memcpy(payload, "Piano", 6);
    CMidiEvent* event = track.AddEvent(0, 0xFF, 0, 0, 0, 0x03, 5, payload);
    EXPECT_EQ(event->m_payload, payload);
    EXPECT_EQ(event->m_payloadLength, 5u);
    EXPECT_EQ(track.AddEvent(0, 0xFF, 0, 0, 0, 0x2F, 0, nullptr)->m_payload, nullptr);
}

TEST(SongModel, InfoTakesLastTrackTempoAndLongestTrack)
{
    EXPECT_EQ(CSongInfo::FromTracks(nullptr).m_length, 0);
    EXPECT_EQ(CSongInfo::FromTracks(nullptr).m_bpm, -1);

    CTrack* tracks = nullptr;
    auto add = [&tracks](std::int32_t tempo, DWORD lastDelta) {
        auto* t = new CTrack;
        t->m_tempo = tempo;
        t->AddEvent(lastDelta, 0x90, 60, 1, 0, 0, 0, nullptr);
        CRing::Append(tracks, t);
    };
    add(500000, 100);
    add(-1, 5000);
    add(1000000, 20);
    add(-1, 7);
    CSongInfo info = CSongInfo::FromTracks(tracks);
    EXPECT_EQ(info.m_bpm, 60);
    EXPECT_EQ(info.m_length, 5000);

    // Not held to the range of the tempo buttons.
    tracks->m_next->m_next->m_tempo = 1;
    EXPECT_EQ(CSongInfo::FromTracks(tracks).m_bpm, 60000000);
    CRing::Clear(tracks);
}
