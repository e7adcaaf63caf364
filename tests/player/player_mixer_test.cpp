#include "PlayerTestSupport.h"

#include "player/CMixer.h"
#include "player/CPractice.h"
#include "player/CTransport.h"

#include <optional>

namespace {

// Controller 7 on every channel: others, but for the exceptions.
Messages Volumes(std::initializer_list<std::pair<int, int>> except, int others)
{
    Messages messages = FakeDeviceMessages::Groups(false, others);
    for (auto [channel, value] : except)
        messages[size_t(channel)][2] = value;
    return messages;
}

}

// The mix goes out while the song plays, without a cut, and the song's
// volumes sent again at a seek or a loop's jump come out mixed.
TEST(Mixer, EmphasisAndMinusOneHoldThroughSeeksAndLoops)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    d.TickPerMs();
    CTransport transport(d.state, nullptr, TRUE);
    CPractice practice(d.state, d.dialog.m_metronome);
    CMixer mixer(d.dialog.m_output, d.state);
    CTrack* track = d.AddTrack();
    for (const auto& [tick, status, data1, data2] : std::vector<std::array<int, 4>> { { 0, 0xB0, 7, 100 },
             { 0, 0xB1, 7, 80 }, { 0, 0xB1, 10, 20 }, { 10, 0x90, 60, 90 }, { 10, 0x91, 64, 90 }, { 900, 0x80, 60, 0 } })
        AddAt(track, tick, BYTE(status), BYTE(data1), BYTE(data2));
    d.state.m_length = 1000;
    auto at = [&](DWORD ms) {
        clock.Set(ms);
        d.Period();
        return d.Take();
    };
    std::optional<testing::ScopedTrace> step;

    step.emplace(__FILE__, __LINE__, "an emphasis set before the start: the second channel full, the others at 30 %");
    mixer.Emphasize(1);
    ASSERT_TRUE(transport.Play());
    EXPECT_EQ(at(0), (Messages { ALL_OFF } + Volumes({ { 1, 100 } }, 30)
                         + Messages { { 0xB0, 7, 30 }, { 0xB1, 7, 80 }, { 0xB1, 10, 20 } }));
    EXPECT_EQ(at(10), (Messages { { 0x90, 60, 90 }, { 0x91, 64, 90 } }));

    step.emplace(__FILE__, __LINE__, "minus one while playing: the volumes alone, no cut, and a pan");
    mixer.MinusOne(1);
    mixer.SetPan(1, 127);
    mixer.SetVolume(0, 50);
    EXPECT_EQ(at(20), (Volumes({ { 0, 50 }, { 1, 0 } }, 100) + Messages { { 0xB1, 10, 127 } }));

    step.emplace(__FILE__, __LINE__, "a seek sends the song's volumes mixed");
    transport.SetPosition(500);
    const Messages replay { { 0xB0, 7, 50 }, { 0xB1, 7, 0 }, { 0xB1, 10, 127 } };
    EXPECT_EQ(at(30), (Messages { ALL_OFF, ALL_OFF } + Volumes({ { 0, 50 }, { 1, 0 } }, 100) + Messages { { 0xB1, 10, 127 } } + replay));

    step.emplace(__FILE__, __LINE__, "so does the loop's jump back");
    ASSERT_TRUE(practice.SetLoop(500, 700));
    EXPECT_EQ(at(230), (Messages { ALL_OFF } + replay));

    step.emplace(__FILE__, __LINE__, "the mix let go: the song's own volumes and pan come back");
    mixer.Reset();
    EXPECT_EQ(at(240), (Volumes({ { 1, 80 } }, 100) + Messages { { 0xB1, 10, 20 } }));
}
