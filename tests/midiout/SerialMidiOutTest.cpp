#include "midiout/CSerialMidiOut.h"
#include "platform/core/TickCount.h"
#include "player/CPlayerState.h"
#include "song/CMidiEvent.h"
#include "tests/FakeDeviceMessages.h"
#include "tests/support/CMessageBoxRecorder.h"
#include "tests/support/ThreadFault.h"

#include <functional>
#include <thread>

// A stage opened on a fake device that is ready after every byte, with
// message boxes recorded instead of shown.
class SerialMidiOut : public ::testing::Test, protected FakeDeviceMessages {
protected:
    void SetUp() override { ASSERT_TRUE(m_out.OpenPort(device->PortName())); }
    BOOL Send(BYTE status, BYTE data1, BYTE data2)
    {
        CMidiEvent event;
        std::tie(event.m_status, event.m_data1, event.m_data2) = std::tie(status, data1, data2);
        return m_out.Send(&event, &m_state, FALSE);
    }
    // Microseconds between byte `from` and the next one the device got.
    long long Gap(std::size_t from) const { return device->Bytes().at(from + 1).microseconds - device->Bytes().at(from).microseconds; }
    // A stalled stage gives the port a write time-out of 1 ms instead of 100.
    bool Stalled() const { return device->Timeouts().WriteTotalTimeoutConstant == 1; }

    CMessageBoxRecorder m_boxes;
    CPlayerState m_state;
    CSerialMidiOut m_out;
};

TEST_F(SerialMidiOut, OpenSetsTheLineAndAFailedOneNamesThePortAndLeavesItClosed)
{
    DCB dcb = device->State();
    EXPECT_EQ(std::make_tuple(dcb.BaudRate, dcb.ByteSize, dcb.Parity, dcb.StopBits, GetDcbFlags(dcb),
                  device->Timeouts().WriteTotalTimeoutConstant),
        std::make_tuple(38400u, BYTE(8), BYTE(NOPARITY), BYTE(ONE5STOPBITS), 0x1015u, 100u));
    const CString fake = device->PortName(), port = L"Port " + fake + L": ";
    const auto none = CFakeDevice::CALL_COUNT; // the read thread fails with the error instead
    for (const auto& [name, call, error, text, type] : std::vector<std::tuple<CString, CFakeDevice::Call, DWORD, CString, UINT>> {
             { L"fake:nobody", none, 0, L"Unable to open the port\nPort fake:nobody: No such file or directory", MB_OK },
             { L"/dev/null", none, 0, L"Port /dev/null: Inappropriate ioctl for device", MB_ICONINFORMATION },
             { fake, CFakeDevice::CALL_SET_STATE, 22, port + L"Invalid argument", MB_ICONINFORMATION },
             { fake, CFakeDevice::CALL_SET_TIMEOUTS, 22, L"Unable to set the time-out parameters\n" + port + L"Invalid argument", MB_OK },
             { fake, none, 11, L"Unable to create the read thread\n" + port + L"Resource temporarily unavailable", MB_OK } }) {
        m_boxes.Clear();
        call != none ? device->SetFailure(call, error) : SetCreateThreadFault(error);
        EXPECT_FALSE(m_out.OpenPort(name));
        for (int c = 0; c < none; ++c)
            device->SetFailure(CFakeDevice::Call(c), 0);
        auto boxes = m_boxes.Entries();
        ASSERT_EQ(boxes.size(), 1u) << text.ToUtf8();
        EXPECT_EQ(std::tie(boxes[0].text, boxes[0].caption, boxes[0].type), std::make_tuple(text, CString(L"Error"), type));
        // Nothing half set up stays open, so nothing can be written to it.
        EXPECT_EQ(std::make_tuple(m_out.m_hPort.load(), device->IsOpen(), m_out.m_readThreadId.load()),
            std::make_tuple(INVALID_HANDLE_VALUE, false, -1)) << text.ToUtf8();
    }
    // A second open releases the first port; destroyed while started, the
    // stage silences the device.
    auto other = CFakeDevice::Create(L"midiout-other");
    {
        CSerialMidiOut out;
        ASSERT_TRUE(out.OpenPort(other->PortName()) && out.OpenPort(fake));
        EXPECT_FALSE(other->IsOpen());
        out.Start();
        EXPECT_EQ(Take(false), Groups(true, 100));
    }
    EXPECT_EQ(Take(false), Groups(true));
    EXPECT_FALSE(device->IsOpen());
}

// Start, pause and stop silence the device, and Silence one channel, while
// started; nothing goes out before or after. Every channel's volume is the
// song's own scaled by the master volume, and a new start forgets the last
// run's volumes.
TEST_F(SerialMidiOut, ASessionSilencesAndScalesTheVolume)
{
    const std::function<BOOL()> note = [this] { return Send(0x90, 60, 100); }, start = [this] { return m_out.Start(); },
        silence = [this] { return m_out.Silence(5), TRUE; };
    auto volume = [this](int v) { return [this, v] { return m_out.SetVolume(v), TRUE; }; };
    Messages scaled = Groups(false, 100), half = Groups(false, 50);
    scaled[1][2] = 80;
    scaled[9][2] = 50;
    half[1][2] = 40;
    half[9][2] = 25;
    // The window's volume waits for the player thread, which sends it once.
    const std::function<BOOL()> request = [this] { return m_out.RequestVolume(500), TRUE; },
        pending = [this] { return m_out.SendPendingVolume(), TRUE; };
    int step = 0;
    // Each step, what it returns and what goes out.
    for (const auto& [act, result, sent] : std::vector<std::tuple<std::function<BOOL()>, BOOL, Messages>> {
             { volume(500), TRUE, {} }, { note, FALSE, {} }, { start, TRUE, Groups(true, 50) }, { start, TRUE, {} },
             { [this] { return Send(0xB1, 7, 80); }, TRUE, { { 0xB1, 7, 40 } } },
             { [this] { return m_out.Pause(), TRUE; }, TRUE, Groups(true) }, { silence, TRUE, { { 0xB5, 120, 0 }, { 0xB5, 123, 0 } } },
             { [this] { return Send(0xB9, 7, 50); }, TRUE, { { 0xB9, 7, 25 } } },
             { volume(1000), TRUE, scaled }, { volume(5000), TRUE, Groups(false, 127) },
             { volume(-300), TRUE, Groups(false, 0) }, { volume(0x7FFFFFFF), TRUE, Groups(false, 127) },
             { volume(1000), TRUE, scaled }, { request, TRUE, {} }, { pending, TRUE, half }, { pending, TRUE, {} },
             { volume(1000), TRUE, scaled }, { [this] { return m_out.Stop(), TRUE; }, TRUE, Groups(true) },
             { note, FALSE, {} }, { silence, TRUE, {} }, { start, TRUE, Groups(true, 100) } }) {
        SCOPED_TRACE(testing::Message() << "step " << step++);
        EXPECT_EQ(act(), result);
        EXPECT_EQ(Take(false), sent);
    }

    // Each message goes out by the player's rules.
    m_state.m_drumChannel = 3;
    m_state.m_channels[2].m_muted = 1;
    for (const auto& [transpose, message, bytes] : std::vector<std::tuple<int, Message, Message>> {
             // Notes are transposed within 0..127, but on the user's drum
             // channel; key pressure and controllers keep their keys.
             { 12, { 0x90, 120, 100 }, { 0x90, 127, 100 } }, { 12, { 0x80, 60, 64 }, { 0x80, 72, 64 } },
             { -12, { 0x91, 5, 90 }, { 0x91, 0, 90 } }, { 12, { 0x93, 60, 100 }, { 0x93, 60, 100 } },
             { 12, { 0x99, 36, 100 }, { 0x99, 48, 100 } }, { 12, { 0xA0, 60, 10 }, { 0xA0, 60, 10 } },
             { 12, { 0xB0, 10, 20 }, { 0xB0, 10, 20 } },
             // Data bytes of a damaged file are clamped, before transposing.
             { 0, { 0x90, 0x3C, 0xC0 }, { 0x90, 0x3C, 0x7F } }, { -12, { 0x91, 0x85, 0x40 }, { 0x91, 0x73, 0x40 } },
             // Programs and channel pressure have one data byte.
             { 0, { 0xC3, 0x99, 0 }, { 0xC3, 0x7F } }, { 0, { 0xD2, 77, 99 }, { 0xD2, 77 } }, { 0, { 0xE1, 0, 64 }, { 0xE1, 0, 64 } },
             // A muted channel drops loud note-ons (empty: refused), never a note-off.
             { 0, { 0x92, 60, 16 }, {} }, { 0, { 0x82, 60, 64 }, { 0x82, 60, 64 } },
             // System messages never go out.
             { 0, { 0xF0, 1, 2 }, {} }, { 0, { 0xFF, 0x51, 3 }, {} } }) {
        m_state.m_transpose = transpose;
        EXPECT_EQ(Send(BYTE(message[0]), BYTE(message[1]), BYTE(message[2])), !bytes.empty()) << std::hex << message[0];
        EXPECT_EQ(Take(false), Messages(!bytes.empty(), bytes)) << std::hex << message[0] << " " << message[1];
    }
}

// Each byte waits until the device signals (its queue ran empty, or CTS
// changed), at most 100 ms. Three bytes in a row that run out that time
// stall the stage: it writes on without waiting until the device signals
// again. A byte that did not go out drops the rest of its message; the
// first failed write ends the writing and is told once.
TEST_F(SerialMidiOut, AStalledOrFailingDeviceCannotHoldOrGarbleTheStream)
{
    m_out.Start();
    device->SetReadiness(CFakeDevice::READY_NEVER);
    std::size_t from = device->Bytes().size();
    BYTE program[2] = { 0xC0, 5 };
    m_out.Write(program, 2);
    EXPECT_GE(Gap(from), 99000) << "a byte waits for the device";
    EXPECT_FALSE(Stalled()) << "after two bytes";
    Send(0x90, 60, 100);
    EXPECT_TRUE(Stalled()) << "after three bytes";
    EXPECT_LT(Gap(from + 3), 99000) << "a stalled stage does not wait out the limit";
    for (auto readiness : { CFakeDevice::READY_AFTER_DELAY, CFakeDevice::READY_CTS_AFTER_DELAY }) {
        device->SetReadiness(readiness, 60);
        for (int i = 0; i < 100 && Stalled(); ++i) {
            Send(0x90, 60, 100);
            Sleep(60);
        }
        from = device->Bytes().size();
        Send(0x90, 60, 100);
        Send(0x90, 60, 100);
        EXPECT_FALSE(Stalled()) << "a device that signals is waited for: " << readiness;
        EXPECT_GE(Gap(from), 59500) << readiness;
    }
    device->SetReadiness(CFakeDevice::READY_EACH_BYTE);
    device->TimeOutWrites(1);
    Take(false);
    EXPECT_TRUE(Send(0x90, 60, 100));
    EXPECT_TRUE(Send(0x91, 62, 90));
    EXPECT_EQ(Take(false), (Messages { { 0x91, 62, 90 } })) << "no data bytes without their status byte";

    device->SetFailure(CFakeDevice::CALL_WRITE, 5);
    Send(0x90, 60, 100);
    device->SetFailure(CFakeDevice::CALL_WRITE, 0);
    Send(0x90, 60, 100);
    EXPECT_TRUE(Take(false).empty()) << "nothing after the failure";
    CString text;
    ASSERT_TRUE(m_out.TakeWriteFailure(text));
    EXPECT_EQ(text, L"Port " + device->PortName() + L": write failed: Input/output error");
    EXPECT_FALSE(m_out.TakeWriteFailure(text));
    ASSERT_TRUE(m_out.OpenPort(device->PortName()));
    EXPECT_TRUE(Send(0x90, 60, 100));
    EXPECT_EQ(Take(false), (Messages { { 0x90, 60, 100 } })) << "opening the port again starts afresh";
}

// The player thread and the window both write. On a device that holds each
// byte for the 100 ms limit, the second writer has that long to break into
// the first one's message; a stage that let it would put a byte right
// behind the first one. The start reads the volume inside its broadcast, so
// a volume the user sets while the start's all-off goes out is not lost.
TEST_F(SerialMidiOut, AWriterWaitsUntilTheOtherOnesMessageIsOut)
{
    const std::function<void()> note = [this] { Send(0x91, 60, 100); }, start = [this] { m_out.Start(); };
    auto volume = [this](int v) { return std::function<void()>([this, v] { m_out.SetVolume(v); }); };
    std::vector<int> last(16); // each channel's last controller 7
    // The first row starts the stage, the others write while it is started.
    for (const auto& [first, second, level] : std::vector<std::tuple<std::function<void()>, std::function<void()>, int>> {
             { start, volume(300), 30 }, { note, note, 30 }, { volume(500), note, 50 }, { note, volume(700), 70 } }) {
        ASSERT_TRUE(m_out.OpenPort(device->PortName()));
        const std::size_t from = device->Bytes().size();
        device->SetReadiness(CFakeDevice::READY_NEVER);
        std::thread writer(first);
        ASSERT_TRUE(device->WaitForBytes(from + 1, 5000));
        second();
        writer.join();
        device->SetReadiness(CFakeDevice::READY_EACH_BYTE);
        EXPECT_GE(Gap(from), 90000);
        for (const Message& m : Take(false))
            last[m[0] & 0x0F] = m[0] >> 4 == 0xB && m[1] == 7 ? m[2] : last[m[0] & 0x0F];
        EXPECT_EQ(last, std::vector<int>(16, level));
    }
}

// A system-exclusive packet goes out whole and in order however long,
// only while started and switched on. The messages that declare drum
// channels (GS rhythm parts in the GS part order, XG and GM2 drum banks)
// exempt them from transposition until undone or reset.
TEST_F(SerialMidiOut, SysExGoesOutWholeAndDeclaresDrumChannels)
{
    std::vector<BYTE> data(4999, 0x11);
    data.back() = 0xF7;
    EXPECT_FALSE(m_out.SendSysEx(0xF0, data.data(), DWORD(data.size()))) << "stopped";
    m_out.Start();
    Take(false);
    m_out.m_sendSysEx = FALSE;
    EXPECT_FALSE(m_out.SendSysEx(0xF0, data.data(), DWORD(data.size())));
    m_out.m_sendSysEx = TRUE;
    ASSERT_TRUE(m_out.SendSysEx(0xF0, data.data(), DWORD(data.size())));
    std::vector<int> sent = Bytes();
    std::vector<int> want { 0xF0 };
    want.insert(want.end(), data.begin(), data.end());
    EXPECT_EQ(std::vector<int>(sent.end() - std::min(sent.size(), want.size()), sent.end()), want);
    Take(false);

    auto gs = [](int part, int map) {
        std::vector<BYTE> m { 0x41, 0x10, 0x42, 0x12, 0x40, BYTE(0x10 | part), 0x15, BYTE(map), 0, 0xF7 };
        m[8] = BYTE((128 - (0x40 + m[5] + 0x15 + map) % 128) % 128);
        return m;
    };
    const std::vector<BYTE> badSum { 0x41, 0x10, 0x42, 0x12, 0x40, 0x11, 0x15, 0x01, 0x00, 0xF7 };
    const std::vector<BYTE> gmOn { 0x7E, 0x7F, 0x09, 0x01, 0xF7 };
    // Each step: a message (a bank select as three bytes), then the channels
    // (from 0) that are drums besides the user's drum channel 3.
    m_state.m_drumChannel = 3;
    for (const auto& [message, drums] : std::vector<std::pair<std::vector<BYTE>, std::vector<int>>> {
             { gs(0, 1), { 9 } }, { gs(1, 2), { 0, 9 } }, { gs(9, 1), { 0, 8, 9 } }, { gs(0xA, 1), { 0, 8, 9, 10 } },
             { gs(0xF, 1), { 0, 8, 9, 10, 15 } }, { gs(1, 0), { 8, 9, 10, 15 } }, { badSum, { 8, 9, 10, 15 } },
             { { 0xB5, 0, 127 }, { 5, 8, 9, 10, 15 } }, { { 0xB6, 0, 0x78 }, { 5, 6, 8, 9, 10, 15 } },
             { { 0xB5, 0, 0x79 }, { 6, 8, 9, 10, 15 } }, { { 0xB8, 0, 0 }, { 6, 8, 9, 10, 15 } }, { gmOn, {} } }) {
        if (message[0] >= 0x80)
            Send(message[0], message[1], message[2]);
        else
            m_out.SendSysEx(0xF0, message.data(), DWORD(message.size()));
        std::vector<int> declared;
        for (int channel = 0; channel < 16; ++channel) {
            if (channel != 3 && m_out.IsDrumChannel(channel, &m_state))
                declared.push_back(channel);
        }
        EXPECT_EQ(declared, drums) << std::hex << int(message[0]) << " " << int(message[5]);
    }
    EXPECT_TRUE(m_out.IsDrumChannel(3, &m_state));
}

// The mix scales each channel's own volume after the master volume and puts
// its pan in place of the song's; a change goes out at once (the window's
// through the player thread), and the song's own values come back when the
// mix lets go.
TEST_F(SerialMidiOut, TheMixScalesEachChannelsVolumeAndOverridesItsPan)
{
    auto volumes = [](std::initializer_list<std::pair<int, int>> except, int others) {
        Messages messages = Groups(false, others);
        for (auto [channel, value] : except)
            messages[size_t(channel)][2] = value;
        return messages;
    };
    auto plus = [](Messages a, const Messages& b) { return a.insert(a.end(), b.begin(), b.end()), a; };
    CMixerValues emphasis, minusOne, panned;
    emphasis.volume[4] = 50;
    emphasis.Emphasize(2, 30);
    minusOne.MinusOne(1);
    panned.pan[3] = 0;
    const Messages stopStart = plus(Groups(true), Groups(true));
    ASSERT_TRUE(m_out.Start());
    m_out.SetVolume(500);
    Take(false);
    int step = 0;
    for (const auto& [act, sent] : std::vector<std::tuple<std::function<void()>, Messages>> {
             // The song's volumes and pan while the mix is neutral: master only.
             { [&] { Send(0xB1, 7, 80), Send(0xB2, 7, 120), Send(0xB3, 10, 100); }, { { 0xB1, 7, 40 }, { 0xB2, 7, 60 }, { 0xB3, 10, 100 } } },
             // Emphasis on channel 3: it at full, every other at 30 % (the
             // fifth at 30 % of its own 50 %).
             { [&] { m_out.SetMix(emphasis); }, volumes({ { 1, 12 }, { 2, 60 }, { 4, 7 } }, 15) },
             { [&] { Send(0xB1, 7, 100); }, { { 0xB1, 7, 15 } } },
             // The window's minus one waits for the player thread.
             { [&] { m_out.RequestMix(minusOne); }, {} },
             { [&] { m_out.SendPendingVolume(); }, volumes({ { 1, 0 }, { 2, 60 } }, 50) },
             { [&] { Send(0xB1, 7, 127); }, { { 0xB1, 7, 0 } } },
             // A pan the mix sets replaces the song's, which comes back after.
             { [&] { m_out.SetMix(panned); }, plus(volumes({ { 1, 63 }, { 2, 60 } }, 50), { { 0xB3, 10, 0 } }) },
             { [&] { Send(0xB3, 10, 90); }, { { 0xB3, 10, 0 } } },
             { [&] { m_out.SetMix(CMixerValues()); }, plus(volumes({ { 1, 63 }, { 2, 60 } }, 50), { { 0xB3, 10, 90 } }) },
             // A start sends the mixed volumes and only the pans the mix sets.
             { [&] { m_out.Stop(), m_out.SetMix(emphasis), m_out.Start(); }, plus(stopStart, volumes({ { 2, 50 }, { 4, 7 } }, 15)) },
             { [&] { m_out.Stop(), m_out.SetMix(panned), m_out.Start(); }, plus(stopStart, plus(Groups(false, 50), { { 0xB3, 10, 0 } })) } }) {
        SCOPED_TRACE(testing::Message() << "step " << step++);
        act();
        EXPECT_EQ(Take(false), sent);
    }
}
