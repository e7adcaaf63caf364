#include "PlayerTestSupport.h"

#include "player/CTransport.h"

#include <optional>

namespace {

// The messages of bytes, split where Take() splits: at every status byte.
Messages Split(const std::vector<int>& bytes)
{
    Messages messages;
    for (int b : bytes) {
        if (b >= 0x80 || messages.empty())
            messages.push_back({});
        messages.back().push_back(b);
    }
    return messages;
}

const std::vector<int> kGsReset { 0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7 };
// Part 11 (channel 11, 10 counted from 0) plays the rhythm map 2.
const std::vector<int> kRhythm11 { 0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x1A, 0x15, 0x02, 0x0F, 0xF7 };

}

// A GS song through the output stage, one tick a millisecond: its system-
// exclusive messages go out in place and again at a cut, before the
// controllers; the channels it declares drums (a GS rhythm part, an XG drum
// bank) are not transposed, nor is the metronome's click; the reset the
// user chose goes out at each start, and the song waits 50 ms on its clock.
TEST(SysEx, GoesOutInPlaceAndAtACutAndDeclaresDrumChannels)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    d.TickPerMs();
    d.state.m_length = 1000;
    CTransport transport(d.state, nullptr, FALSE);
    CTrack* track = d.AddTrack();
    std::vector<BYTE> reset(kGsReset.begin() + 1, kGsReset.end()), rhythm(kRhythm11.begin() + 1, kRhythm11.end());
    AddAt(track, 0, 0xF0, 0, 0, 0, reset);
    // The rhythm part in two packets, an escape (song position) between.
    AddAt(track, 0, 0xF0, 0, 0, 0, std::vector<BYTE>(rhythm.begin(), rhythm.begin() + 4));
    AddAt(track, 0, 0xF7, 0, 0, 0, std::vector<BYTE>(rhythm.begin() + 4, rhythm.end()));
    AddAt(track, 5, 0xF7, 0, 0, 0, { 0xF2, 0, 0 });
    AddAt(track, 10, 0x9A, 60, 100);
    AddAt(track, 15, 0x93, 50, 100);
    AddAt(track, 20, 0xB3, 0, 127);
    AddAt(track, 30, 0x93, 60, 100);
    AddAt(track, 40, 0xB3, 0, 0);
    AddAt(track, 40, 0x93, 62, 100);
    // Damaged: a status byte inside the message; never sent.
    AddAt(track, 50, 0xF0, 0, 0, 0, { 0x41, 0x90, 0x40, 0xF7 });
    AddAt(track, 60, 0x9A, 64, 100);
    auto at = [&](DWORD ms) {
        clock.Set(ms);
        d.Period();
        return d.Take();
    };
    auto start = [&](LONGLONG tick, DWORD ms) {
        d.state.m_playState = STATE_STOP;
        at(ms);
        transport.SetPosition(tick);
        EXPECT_TRUE(transport.Play());
    };
    const Messages sysEx = Split(kGsReset) + Split(kRhythm11);
    std::optional<testing::ScopedTrace> step;

    step.emplace(__FILE__, __LINE__, "in place, transposed but on the declared drum channels");
    d.state.m_transpose = 2;
    start(0, 0);
    EXPECT_EQ(at(0), (Messages { ALL_OFF, VOLUMES } + sysEx));
    EXPECT_EQ(at(5), (Messages { { 0xF2, 0, 0 } }));
    EXPECT_EQ(at(10), (Messages { { 0x9A, 60, 100 } }));
    EXPECT_EQ(at(40), (Messages { { 0x93, 52, 100 }, { 0xB3, 0, 127 }, { 0x93, 60, 100 }, { 0xB3, 0, 0 }, { 0x93, 64, 100 } }));
    EXPECT_EQ(at(60), (Messages { { 0x9A, 64, 100 } }));

    step.emplace(__FILE__, __LINE__, "a seek sends the messages passed again, then the controllers; escapes not");
    start(35, 100);
    EXPECT_EQ(at(100), (Messages { ALL_OFF, VOLUMES } + sysEx + Messages { { 0xB3, 0, 127 } }));
    EXPECT_EQ(at(105), (Messages { { 0xB3, 0, 0 }, { 0x93, 64, 100 } }));
    // Sought back before its drum bank, the channel is melodic again (the
    // song's GS reset, which would see to that too, switched off).
    start(35, 150);
    at(150);
    d.dialog.m_output.m_sendSysEx = FALSE;
    start(10, 160);
    at(160);
    EXPECT_EQ(at(165), (Messages { { 0x93, 52, 100 } }));
    d.dialog.m_output.m_sendSysEx = TRUE;

    step.emplace(__FILE__, __LINE__, "the chosen reset first; the state and the song 50 ms later on the song's clock");
    d.dialog.m_output.m_reset = CSerialMidiOut::RESET_XG;
    start(35, 300);
    EXPECT_EQ(at(300), (Messages { ALL_OFF, VOLUMES } + Split({ 0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7 })));
    EXPECT_EQ(at(349), Messages {});
    EXPECT_EQ(at(350), (sysEx + Messages { { 0xB3, 0, 127 } }));
    EXPECT_EQ(at(354), Messages {});
    EXPECT_EQ(at(355), (Messages { { 0xB3, 0, 0 }, { 0x93, 64, 100 } }));
    d.dialog.m_output.m_reset = CSerialMidiOut::RESET_NONE;

    step.emplace(__FILE__, __LINE__, "the click keeps its key whatever the transposition and drum channel");
    d.state.m_drumChannel = 3;
    d.state.m_transpose = 5;
    d.dialog.m_metronome.m_enabled = TRUE;
    start(0, 400);
    at(400);
    EXPECT_EQ(at(401), (Messages { { 0x99, 37, 127 } }));
}
