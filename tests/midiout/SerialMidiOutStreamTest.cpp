#include "MidiOutFixture.h"

#include "platform/core/TickCount.h"

#include <thread>

using Bytes = std::vector<BYTE>;

class SerialMidiOutStream : public MidiOutFixture {
protected:
    void SetUp() override
    {
        MidiOutFixture::SetUp();
        Open();
    }
};

TEST_F(SerialMidiOutStream, StartSendsAllOffThenTheVolumeBroadcastOnce)
{
    m_out.SetVolume(500);
    EXPECT_TRUE(Take().empty()) << "nothing is sent before Start";
    EXPECT_EQ(m_out.m_volume, 500);

    EXPECT_TRUE(m_out.Start());
    EXPECT_EQ(Take(), Concat(AllOffBytes(), VolumeBytes(50)));
    EXPECT_EQ(m_out.m_head, m_out.m_tail);

    EXPECT_TRUE(m_out.Start());
    EXPECT_TRUE(Take().empty()) << "a second Start sends nothing";
}

TEST_F(SerialMidiOutStream, PauseAndStopSendAllOffOnlyWhileStarted)
{
    m_out.Pause();
    m_out.Stop();
    EXPECT_TRUE(Take().empty());

    m_out.Start();
    Take();
    m_out.Pause();
    EXPECT_EQ(Take(), AllOffBytes());
    EXPECT_TRUE(m_out.m_started);

    m_out.Stop();
    EXPECT_EQ(Take(), AllOffBytes());
    EXPECT_FALSE(m_out.m_started);
    EXPECT_FALSE(SendMessage(0x90, 60, 100));
    EXPECT_TRUE(Take().empty());
}

TEST_F(SerialMidiOutStream, MasterVolumeScalesEachChannelsOwnVolume)
{
    m_out.Start();
    EXPECT_EQ(Take(), Concat(AllOffBytes(), VolumeBytes(100)));
    EXPECT_TRUE(SendMessage(0xB0, 7, 100));
    EXPECT_TRUE(SendMessage(0xB1, 7, 80));
    EXPECT_TRUE(SendMessage(0xB9, 7, 50));
    Take();
    m_out.SetVolume(500);
    EXPECT_EQ(Take(), VolumeBytes(50, { { 1, 40 }, { 9, 25 } }));
    m_out.SetVolume(0);
    EXPECT_EQ(Take(), VolumeBytes(0));
    m_out.SetVolume(5000);
    EXPECT_EQ(Take(), VolumeBytes(127));
    m_out.SetVolume(-300);
    EXPECT_EQ(Take(), VolumeBytes(0));
    m_out.SetVolume(0x7FFFFFFF);
    EXPECT_EQ(Take(), VolumeBytes(127));

    // A new start forgets the last run's volumes: the song sends its own
    // again as it plays.
    m_out.SetVolume(1000);
    m_out.Stop();
    Take();
    m_out.Start();
    EXPECT_EQ(Take(), Concat(AllOffBytes(), VolumeBytes(100)));
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
    m_device->SetReadiness(CFakeDevice::READY_EACH_BYTE);
    EXPECT_EQ(m_out.m_volume, 300);
    std::vector<BYTE> stream = Take();
    BYTE last[16] {};
    for (std::size_t i = 0; i + 2 < stream.size(); ++i) {
        if ((stream[i] & 0xF0) == 0xB0 && stream[i + 1] == 7)
            last[stream[i] & 0x0F] = stream[i + 2];
    }
    for (int n = 0; n < 16; ++n)
        EXPECT_EQ(last[n], 30) << "channel " << n;
}

TEST_F(SerialMidiOutStream, TranspositionMovesNotesOutsideTheUsersDrumChannel)
{
    m_out.Start();
    Take();
    m_state.m_transpose = 12;
    m_state.m_drumChannel = 3;
    EXPECT_TRUE(SendMessage(0x90, 120, 100));
    EXPECT_TRUE(SendMessage(0x80, 60, 64));
    EXPECT_TRUE(SendMessage(0x93, 60, 100)); // the user's drum channel
    EXPECT_TRUE(SendMessage(0x99, 36, 100)); // the stage's drum channel is not the user's
    EXPECT_TRUE(SendMessage(0xA0, 60, 10)); // key pressure keeps its key
    EXPECT_TRUE(SendMessage(0xB0, 10, 20)); // controllers are never transposed
    EXPECT_EQ(Take(), (Bytes { 0x90, 127, 100, 0x80, 72, 64, 0x93, 60, 100, 0x99, 48, 100, 0xA0, 60, 10, 0xB0, 10, 20 }));

    m_state.m_transpose = -12;
    EXPECT_TRUE(SendMessage(0x91, 5, 90));
    EXPECT_TRUE(SendMessage(0x91, 40, 90));
    EXPECT_EQ(Take(), (Bytes { 0x91, 0, 90, 0x91, 28, 90 }));
}

TEST_F(SerialMidiOutStream, ControllersPassAsTheSongHasThemAndOnlyVolumeIsScaled)
{
    m_out.SetVolume(500);
    m_out.Start();
    Take();
    EXPECT_TRUE(SendMessage(0xB0, 7, 100));
    EXPECT_TRUE(SendMessage(0xB9, 7, 100)); // the tenth channel like any other
    EXPECT_TRUE(SendMessage(0xB0, 10, 100)); // pan is not scaled
    EXPECT_TRUE(SendMessage(0xB9, 10, 3));
    EXPECT_TRUE(SendMessage(0xB9, 64, 0));
    EXPECT_EQ(Take(), (Bytes { 0xB0, 7, 50, 0xB9, 7, 50, 0xB0, 10, 100, 0xB9, 10, 3, 0xB9, 64, 0 }));

    m_out.SetVolume(2000);
    Take();
    EXPECT_TRUE(SendMessage(0xB1, 7, 100));
    EXPECT_EQ(Take(), (Bytes { 0xB1, 7, 127 }));
}

TEST_F(SerialMidiOutStream, DataBytesFromADamagedFileAreClampedBeforeTheyGoOut)
{
    m_out.Start();
    Take();
    EXPECT_TRUE(SendMessage(0x90, 0x3C, 0xC0)); // would carry a program change inside
    m_state.m_transpose = -12;
    EXPECT_TRUE(SendMessage(0x91, 0x85, 0x40)); // clamped first, then transposed
    EXPECT_TRUE(SendMessage(0xB2, 0x87, 0xFF));
    EXPECT_TRUE(SendMessage(0xC3, 0x99, 0));
    EXPECT_TRUE(SendMessage(0xB4, 7, 0x90));
    EXPECT_EQ(Take(), (Bytes { 0x90, 0x3C, 0x7F, 0x91, 0x73, 0x40, 0xB2, 0x7F, 0x7F, 0xC3, 0x7F, 0xB4, 7, 0x7F }));
}

TEST_F(SerialMidiOutStream, MutedChannelsDropLoudNoteOnsUnlessForced)
{
    m_out.Start();
    Take();
    m_state.m_channels[2].m_muted = 1;
    EXPECT_FALSE(SendMessage(0x92, 60, 16));
    EXPECT_TRUE(SendMessage(0x92, 61, 15));
    EXPECT_TRUE(SendMessage(0x82, 60, 64));
    EXPECT_TRUE(SendMessage(0x92, 62, 100, TRUE));
    EXPECT_TRUE(SendMessage(0x93, 63, 100));
    EXPECT_EQ(Take(), (Bytes { 0x92, 61, 15, 0x82, 60, 64, 0x92, 62, 100, 0x93, 63, 100 }));
}

TEST_F(SerialMidiOutStream, MessageLengthsAndRefusedSystemMessages)
{
    m_out.Start();
    Take();
    EXPECT_TRUE(SendMessage(0xC5, 40, 99));
    EXPECT_TRUE(SendMessage(0xD2, 77, 99));
    EXPECT_TRUE(SendMessage(0xE1, 0, 64));
    EXPECT_FALSE(SendMessage(0xF0, 1, 2));
    EXPECT_FALSE(SendMessage(0xFF, 0x51, 3));
    EXPECT_EQ(Take(), (Bytes { 0xC5, 40, 0xD2, 77, 0xE1, 0, 64 }));
}

TEST_F(SerialMidiOutStream, ClosedPortAppliesTheRulesButSendsNothing)
{
    m_out.ClosePort();
    EXPECT_FALSE(m_device->IsOpen());
    EXPECT_TRUE(m_out.Start());
    EXPECT_TRUE(m_out.m_started);
    EXPECT_TRUE(SendMessage(0x90, 60, 100));
    m_out.SetVolume(700);
    EXPECT_EQ(m_out.m_volume, 700);
    EXPECT_TRUE(Take().empty());
}

TEST_F(SerialMidiOutStream, ReceivedBytesAreReadAndDiscarded)
{
    m_device->Receive({ 0xFE, 0x90, 0x40, 0x40 });
    for (int i = 0; i < 2000 && m_device->PendingInput() != 0; ++i)
        Sleep(1);
    EXPECT_EQ(m_device->PendingInput(), 0u);
    EXPECT_TRUE(Take().empty());
}
