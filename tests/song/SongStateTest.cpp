#include "song/CSongState.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<int>;

struct At {
    LONGLONG tick;
    Bytes bytes;
};

// The state after every event of the tracks (given in ring order), as the
// channel messages and the system-exclusive events' first payload bytes.
std::pair<std::vector<Bytes>, std::vector<Bytes>> StateOf(const std::vector<std::vector<At>>& tracks)
{
    std::vector<std::unique_ptr<CTrack>> built;
    CSongState state;
    std::uint32_t order = 0;
    for (const auto& events : tracks) {
        auto track = std::make_unique<CTrack>();
        LONGLONG last = 0;
        for (const At& at : events) {
            const BYTE status = BYTE(at.bytes[0]);
            std::vector<BYTE> payload;
            if (status >= 0xF0)
                payload.assign(at.bytes.begin() + 1, at.bytes.end());
            auto data = [&](size_t i) { return status < 0xF0 && at.bytes.size() > i ? BYTE(at.bytes[i]) : BYTE(0); };
            track->AddEvent(DWORD(at.tick - last), status, data(1), data(2), 0, payload.data(), DWORD(payload.size()));
            last = at.tick;
        }
        CMidiEvent* event = track->m_firstEvent;
        do {
            state.Offer(track.get(), order, event);
            event = event->Next();
        } while (event != track->m_firstEvent);
        ++order;
        built.push_back(std::move(track));
    }
    state.Finish();
    std::vector<Bytes> messages, sysExes;
    for (const auto& m : state.Messages())
        messages.push_back((m[0] & 0xF0) == 0xC0 || (m[0] & 0xF0) == 0xD0 ? Bytes { m[0], m[1] } : Bytes { m[0], m[1], m[2] });
    for (const auto& s : state.SysExes()) {
        const CMidiPayload payload = s.track->Payload(s.event);
        Bytes bytes { s.event->m_status };
        bytes.insert(bytes.end(), payload.bytes, payload.bytes + payload.length);
        sysExes.push_back(bytes);
    }
    return { messages, sysExes };
}

}

// Each case: the tracks' events, then what the state sends again.
TEST(SongState, IsTheLastSettingOfAllTracksMergedByTick)
{
    const std::vector<std::tuple<const char*, std::vector<std::vector<At>>, std::vector<Bytes>>> cases {
        { "the later value of any track wins; at one tick the later track",
            { { { 0, { 0xB0, 7, 100 } }, { 1000, { 0xB0, 7, 110 } }, { 1000, { 0xB1, 10, 1 } } },
                { { 0, { 0xB0, 7, 60 } }, { 1000, { 0xB1, 10, 2 } } } },
            { { 0xB0, 7, 110 }, { 0xB1, 10, 2 } } },
        { "the bank in force at the program goes before it; a later bank after it",
            { { { 0, { 0xB2, 0, 127 } }, { 5, { 0xC2, 3 } }, { 9, { 0xB2, 0, 8 } } },
                { { 1, { 0xB2, 32, 1 } }, { 2, { 0xB2, 7, 90 } } } },
            { { 0xB2, 0, 127 }, { 0xB2, 32, 1 }, { 0xC2, 3 }, { 0xB2, 0, 8 }, { 0xB2, 7, 90 } } },
        { "each parameter with its data, in the order last set, then the one selected",
            { { { 0, { 0xB3, 101, 0 } }, { 0, { 0xB3, 100, 0 } }, { 0, { 0xB3, 6, 12 } }, { 1, { 0xB3, 99, 1 } },
                  { 1, { 0xB3, 98, 8 } }, { 1, { 0xB3, 6, 40 } } },
                // Another track later sets the bend range again and selects
                // fine tuning without data.
                { { 5, { 0xB3, 101, 0 } }, { 5, { 0xB3, 100, 0 } }, { 5, { 0xB3, 6, 2 } }, { 5, { 0xB3, 38, 50 } },
                    { 6, { 0xB3, 100, 1 } } } },
            { { 0xB3, 99, 1 }, { 0xB3, 98, 8 }, { 0xB3, 6, 40 }, { 0xB3, 101, 0 }, { 0xB3, 100, 0 }, { 0xB3, 6, 2 },
                { 0xB3, 38, 50 }, { 0xB3, 101, 0 }, { 0xB3, 100, 1 } } },
        { "data entry of no parameter or the null one sets nothing; the null selection stays",
            { { { 0, { 0xB4, 6, 5 } }, { 1, { 0xB4, 101, 127 } }, { 1, { 0xB4, 100, 127 } }, { 2, { 0xB4, 6, 9 } } } },
            { { 0xB4, 101, 127 }, { 0xB4, 100, 127 } } },
        { "event-only controllers are left out; a reset of all controllers drops what it resets before it",
            { { { 0, { 0xB5, 1, 50 } }, { 0, { 0xB5, 64, 127 } }, { 0, { 0xB5, 7, 80 } }, { 0, { 0xE5, 0, 70 } },
                  { 0, { 0xD5, 30 } }, { 0, { 0xB5, 101, 0 } }, { 0, { 0xB5, 100, 0 } }, { 1, { 0xB5, 121, 0 } },
                  { 1, { 0xB5, 11, 90 } }, { 2, { 0xB5, 120, 0 } }, { 2, { 0xB5, 123, 0 } }, { 2, { 0xB5, 122, 0 } },
                  { 2, { 0xB5, 96, 0 } }, { 3, { 0xB5, 126, 1 } } } },
            { { 0xB5, 7, 80 }, { 0xB5, 11, 90 } } },
    };
    for (const auto& [name, tracks, expected] : cases)
        EXPECT_EQ(StateOf(tracks).first, expected) << name;
}

// System-exclusive packets come in song order, the F7 packets that continue
// a message with it; escapes are no setting.
TEST(SongState, KeepsTheSystemExclusiveMessagesInSongOrder)
{
    const auto [messages, sysExes] = StateOf({
        { { 0, { 0xF7, 0xFA } }, { 10, { 0xF0, 0x41, 0x10 } }, { 11, { 0xF7, 0x42, 0xF7 } }, { 30, { 0xF7, 0xFC } } },
        { { 0, { 0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7 } }, { 20, { 0xF0, 0x43, 0xF7 } } },
    });
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(sysExes, (std::vector<Bytes> { { 0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7 }, { 0xF0, 0x41, 0x10 },
                           { 0xF7, 0x42, 0xF7 }, { 0xF0, 0x43, 0xF7 } }));
}
