#include "MidiOutFixture.h"

#include <thread>

using SerialMidiOutStream = MidiOutFixture;

TEST_F(SerialMidiOutStream, StartPauseAndStopSilenceTheDeviceOnlyWhileStarted)
{
    m_out.SetVolume(500);
    m_out.Pause();
    m_out.Stop();
    EXPECT_FALSE(SendMessage(0x90, 60, 100));
    EXPECT_TRUE(Take().empty()) << "nothing is sent before Start";

    EXPECT_TRUE(m_out.Start());
    EXPECT_EQ(Take(), AllOff(50));
    EXPECT_TRUE(m_out.Start());
    EXPECT_TRUE(Take().empty()) << "a second Start sends nothing";
    m_out.Pause();
    EXPECT_EQ(Take(), AllOff());
    EXPECT_TRUE(SendMessage(0x90, 60, 100)) << "a pause keeps the stage started";
    Take();
    m_out.Stop();
    EXPECT_EQ(Take(), AllOff());
    EXPECT_FALSE(SendMessage(0x90, 60, 100));
    EXPECT_TRUE(Take().empty());
}

TEST_F(SerialMidiOutStream, MasterVolumeScalesEachChannelsOwnVolume)
{
    m_out.Start();
    EXPECT_TRUE(SendMessage(0xB1, 7, 80));
    EXPECT_TRUE(SendMessage(0xB9, 7, 50));
    Take();
    Bytes scaled = Volumes(50);
    scaled[3 * 1 + 2] = 40;
    scaled[3 * 9 + 2] = 25;
    for (const auto& [volume, sent] : std::vector<std::pair<int, Bytes>> { { 500, scaled }, { 0, Volumes(0) },
             { 5000, Volumes(127) }, { -300, Volumes(0) }, { 0x7FFFFFFF, Volumes(127) } }) {
        m_out.SetVolume(volume);
        EXPECT_EQ(Take(), sent) << volume;
    }
    // The song's own volume goes out scaled; a new start forgets the last
    // run's volumes, the song sends its own again as it plays.
    m_out.SetVolume(500);
    Take();
    EXPECT_TRUE(SendMessage(0xB2, 7, 100));
    EXPECT_EQ(Take(), (Bytes { 0xB2, 7, 50 }));
    m_out.Stop();
    Take();
    m_out.Start();
    EXPECT_EQ(Take(), AllOff(50));
}

TEST_F(SerialMidiOutStream, AVolumeChangeDuringStartIsNotLost)
{
    // A slow device stretches the start; the user moves the volume slider
    // while its all-off goes out.
    m_device->SetReadiness(CFakeDevice::READY_AFTER_DELAY, 1);
    std::thread player([&] { m_out.Start(); });
    ASSERT_TRUE(m_device->WaitForBytes(20, 20000));
    m_out.SetVolume(300);
    player.join();
    Bytes stream = Take();
    BYTE last[16] {};
    for (std::size_t i = 0; i + 2 < stream.size(); ++i) {
        if ((stream[i] & 0xF0) == 0xB0 && stream[i + 1] == 7)
            last[stream[i] & 0x0F] = stream[i + 2];
    }
    for (int n = 0; n < 16; ++n)
        EXPECT_EQ(last[n], 30) << "channel " << n;
}

TEST_F(SerialMidiOutStream, EachMessageGoesOutByThePlayersRules)
{
    m_out.Start();
    Take();
    m_state.m_drumChannel = 3;
    m_state.m_channels[2].m_muted = 1;
    struct Case {
        int transpose;
        BYTE status, data1, data2;
        BOOL forced;
        Bytes bytes; // empty: refused
    };
    for (const Case& c : {
             // Notes are transposed within 0..127, but on the user's drum
             // channel; key pressure and controllers keep their keys.
             Case { 12, 0x90, 120, 100, FALSE, { 0x90, 127, 100 } },
             Case { 12, 0x80, 60, 64, FALSE, { 0x80, 72, 64 } },
             Case { -12, 0x91, 5, 90, FALSE, { 0x91, 0, 90 } },
             Case { 12, 0x93, 60, 100, FALSE, { 0x93, 60, 100 } },
             Case { 12, 0x99, 36, 100, FALSE, { 0x99, 48, 100 } },
             Case { 12, 0xA0, 60, 10, FALSE, { 0xA0, 60, 10 } },
             Case { 12, 0xB0, 10, 20, FALSE, { 0xB0, 10, 20 } },
             // Data bytes of a damaged file are clamped, before transposing.
             Case { 0, 0x90, 0x3C, 0xC0, FALSE, { 0x90, 0x3C, 0x7F } },
             Case { -12, 0x91, 0x85, 0x40, FALSE, { 0x91, 0x73, 0x40 } },
             Case { 0, 0xB2, 0x87, 0xFF, FALSE, { 0xB2, 0x7F, 0x7F } },
             // Programs and channel pressure have one data byte.
             Case { 0, 0xC3, 0x99, 0, FALSE, { 0xC3, 0x7F } },
             Case { 0, 0xD2, 77, 99, FALSE, { 0xD2, 77 } },
             Case { 0, 0xE1, 0, 64, FALSE, { 0xE1, 0, 64 } },
             // A muted channel drops loud note-ons unless forced.
             Case { 0, 0x92, 60, 16, FALSE, {} },
             Case { 0, 0x92, 61, 15, FALSE, { 0x92, 61, 15 } },
             Case { 0, 0x82, 60, 64, FALSE, { 0x82, 60, 64 } },
             Case { 0, 0x92, 62, 100, TRUE, { 0x92, 62, 100 } },
             // System messages never go out.
             Case { 0, 0xF0, 1, 2, FALSE, {} },
             Case { 0, 0xFF, 0x51, 3, FALSE, {} },
         }) {
        m_state.m_transpose = c.transpose;
        EXPECT_EQ(SendMessage(c.status, c.data1, c.data2, c.forced), !c.bytes.empty()) << std::hex << int(c.status);
        EXPECT_EQ(Take(), c.bytes) << std::hex << int(c.status) << " " << int(c.data1);
    }
}
