#include "MidiOutFixture.h"

#include "platform/comm/Comm.h"
#include "platform/core/Thread.h"
#include "platform/core/TickCount.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

class SerialMidiOutPort : public MidiOutFixture {
protected:
    // Gaps in microseconds between the bytes the device got from `from` on.
    std::vector<long long> Gaps(std::size_t from)
    {
        auto bytes = m_device->Bytes();
        std::vector<long long> gaps;
        for (std::size_t i = from + 1; i < bytes.size(); ++i)
            gaps.push_back(bytes[i].microseconds - bytes[i - 1].microseconds);
        return gaps;
    }

    // Sends `count` notes and returns how long that took, in milliseconds.
    long long SendNotes(int count)
    {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i)
            SendMessage(0x90, 60, 100);
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    }
};

TEST_F(SerialMidiOutPort, OpenSetsTheLineAndLeavesTheOtherSettingsAlone)
{
    // The device starts with every flag set and recognisable extra fields.
    m_out.ClosePort();
    HANDLE port = CreateFileW(m_device->PortName(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    DCB dcb;
    ASSERT_TRUE(GetCommState(port, &dcb));
    SetDcbFlags(dcb, 0xFFFFFFFFu);
    dcb.XonLim = 11;
    dcb.EvtChar = 'e';
    ASSERT_TRUE(SetCommState(port, &dcb));
    ASSERT_TRUE(CloseHandle(port));

    ASSERT_TRUE(m_out.OpenPort(m_device->PortName()));
    DCB now = m_device->State();
    EXPECT_EQ(now.BaudRate, 38400u);
    EXPECT_EQ(now.ByteSize, 8);
    EXPECT_EQ(now.Parity, NOPARITY);
    EXPECT_EQ(now.StopBits, ONE5STOPBITS);
    EXPECT_EQ(GetDcbFlags(now), 0xFFFF9015u);
    EXPECT_EQ(now.XonLim, 11);
    EXPECT_EQ(now.EvtChar, 'e');
    COMMTIMEOUTS timeouts = m_device->Timeouts();
    EXPECT_EQ(timeouts.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 10u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 100u);
}

TEST_F(SerialMidiOutPort, EveryFailedOpenNamesThePortAndLeavesItClosed)
{
    m_out.ClosePort();
    std::string song = std::string(TEST_BINARY_DIR) + "/midiout_song_given_as_port.mid";
    const std::string content = "MThd\0\0\0\6 a song the user wants to keep";
    std::ofstream(song, std::ios::binary) << content;
    CString fake = m_device->PortName();
    const CString unable = L"Unable to open the port\nPort ";
    struct Case {
        CString port;
        CFakeDevice::Call call; // fails with `error`, when below CALL_COUNT
        DWORD error;
        CString text;
        UINT type;
    };
    const auto none = CFakeDevice::CALL_COUNT;
    for (const Case& c : std::vector<Case> {
             { L"fake:nobody-registered-this", none, 0, unable + L"fake:nobody-registered-this: No such file or directory", MB_OK },
             { fake, CFakeDevice::CALL_OPEN, ERROR_ACCESS_DENIED, unable + fake + L": Permission denied", MB_OK },
             { CString::FromUtf8(song), none, 0, unable + CString::FromUtf8(song) + L": is not a MIDI device", MB_OK },
             { L"/dev/null", none, 0, L"Port /dev/null: Inappropriate ioctl for device", MB_ICONINFORMATION },
             { fake, CFakeDevice::CALL_GET_STATE, 25, L"Port " + fake + L": Inappropriate ioctl for device", MB_ICONINFORMATION },
             { fake, CFakeDevice::CALL_SET_STATE, 22, L"Port " + fake + L": Invalid argument", MB_ICONINFORMATION },
             { fake, CFakeDevice::CALL_SET_TIMEOUTS, 22, L"Unable to set the time-out parameters\nPort " + fake + L": Invalid argument", MB_OK },
             { fake, none, 11, L"Unable to create the read thread\nPort " + fake + L": Resource temporarily unavailable", MB_OK },
         }) {
        m_boxes.Clear();
        if (c.call != none)
            m_device->SetFailure(c.call, c.error);
        else if (c.error)
            SetCreateThreadFault(c.error);
        EXPECT_FALSE(m_out.OpenPort(c.port));
        if (c.call != none)
            m_device->SetFailure(c.call, 0);
        auto entries = m_boxes.Entries();
        ASSERT_EQ(entries.size(), 1u) << c.text.ToUtf8();
        EXPECT_EQ(entries[0].text, c.text);
        EXPECT_EQ(entries[0].caption, L"Error");
        EXPECT_EQ(entries[0].type, c.type) << c.text.ToUtf8();
        // Nothing half set up stays open, so nothing can be written to it.
        EXPECT_EQ(m_out.m_hPort, INVALID_HANDLE_VALUE) << c.text.ToUtf8();
        EXPECT_FALSE(m_device->IsOpen());
        EXPECT_EQ(m_out.m_readThreadId, -1);
    }
    // The stage plays on silently; the song file is untouched.
    m_out.Start();
    EXPECT_TRUE(SendMessage(0x90, 60, 100));
    m_out.Stop();
    std::ifstream back(song, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(back), {}), content);
}

TEST_F(SerialMidiOutPort, ClosingReleasesThePortAndTheReadThread)
{
    auto other = CFakeDevice::Create(L"midiout-other");
    ASSERT_TRUE(m_out.OpenPort(other->PortName()));
    EXPECT_FALSE(m_device->IsOpen()) << "a second open releases the first port";
    m_out.ClosePort();
    EXPECT_EQ(m_out.m_readThreadId, -1);
    EXPECT_FALSE(other->IsOpen());

    // Closed, the stage keeps its rules but sends nothing; destroyed while
    // started it silences the device.
    EXPECT_TRUE(m_out.Start());
    EXPECT_TRUE(SendMessage(0x90, 60, 100));
    EXPECT_TRUE(Take().empty());
    m_out.Stop();
    {
        CSerialMidiOut out;
        ASSERT_TRUE(out.OpenPort(m_device->PortName()));
        out.Start();
        EXPECT_EQ(Take(), AllOff(100));
    }
    EXPECT_EQ(Take(), AllOff());
    EXPECT_FALSE(m_device->IsOpen());
}

// A device that never signals, or one that takes nothing, costs the 100 ms
// limit for three bytes in a row; from then on the stage writes without
// waiting until the device signals again.
TEST_F(SerialMidiOutPort, AStalledDeviceCannotHoldTheWriter)
{
    m_out.Start();
    Take();
    m_device->SetReadiness(CFakeDevice::READY_NEVER);
    std::size_t from = m_device->Bytes().size();
    EXPECT_LT(SendNotes(100), 3000);
    ASSERT_EQ(Take().size(), 300u) << "every byte is still written";
    std::vector<long long> gaps = Gaps(from);
    // Three bytes wait out the limit, the fourth no longer does.
    EXPECT_GE(gaps[2], 99000);
    EXPECT_LT(gaps[3], 99000);

    // The device comes back: each byte waits again until it has left (the
    // queue drains at the wire rate) or, with CTS held low, for its change.
    for (auto readiness : { CFakeDevice::READY_AFTER_DELAY, CFakeDevice::READY_CTS_AFTER_DELAY }) {
        m_device->SetReadiness(readiness, 20);
        SendNotes(1);
        Sleep(60);
        from = m_device->Bytes().size();
        EXPECT_LT(SendNotes(3), 1500) << "waiting out the limit would take 0.9 s more";
        for (long long gap : Gaps(from))
            EXPECT_GE(gap, 19500) << readiness;
    }

    m_device->TimeOutWrites(-1);
    EXPECT_LT(SendNotes(100), 3000);
    EXPECT_FALSE(m_out.WriteFailed()) << "a time-out is no failure";
    // A device that missed a status byte gets none of that message's data
    // bytes: alone, they would be read with the previous status.
    m_device->TimeOutWrites(1);
    Take();
    EXPECT_TRUE(SendMessage(0x90, 60, 100));
    EXPECT_TRUE(SendMessage(0x91, 62, 90));
    EXPECT_EQ(Take(), (Bytes { 0x91, 62, 90 }));
}

TEST_F(SerialMidiOutPort, AFailedWriteEndsTheWritingAndIsToldOnce)
{
    m_out.Start();
    Take();
    m_device->SetFailure(CFakeDevice::CALL_WRITE, 5);
    SendNotes(3);
    m_device->SetFailure(CFakeDevice::CALL_WRITE, 0);
    SendNotes(3);
    EXPECT_TRUE(Take().empty()) << "nothing after the failure";
    ASSERT_TRUE(m_out.WriteFailed());
    CString text;
    ASSERT_TRUE(m_out.TakeWriteFailure(text));
    EXPECT_EQ(text, L"Port " + m_device->PortName() + L": write failed: Input/output error");
    EXPECT_FALSE(m_out.TakeWriteFailure(text));

    // Opening the port again starts afresh.
    ASSERT_TRUE(m_out.OpenPort(m_device->PortName()));
    EXPECT_FALSE(m_out.WriteFailed());
    EXPECT_TRUE(SendMessage(0x90, 60, 100));
    EXPECT_EQ(Take(), (Bytes { 0x90, 60, 100 }));
}

// The player thread and the window both write. On a device that holds each
// byte for the 100 ms limit, the second writer has that long to break into
// the first one's message; a stage that let it would put a byte right
// behind the first one.
TEST_F(SerialMidiOutPort, AWriterWaitsUntilTheOtherOnesMessageIsOut)
{
    const std::function<void()> note = [this] { SendMessage(0x91, 60, 100); };
    const std::function<void()> volume = [this] { m_out.SetVolume(500); };
    struct Case {
        std::function<void()> first, second;
        const char* what;
    };
    for (const Case& c : { Case { note, note, "two messages" }, Case { volume, note, "broadcast, then a message" },
             Case { note, volume, "a message, then a broadcast" } }) {
        ASSERT_TRUE(m_out.OpenPort(m_device->PortName()));
        m_out.Start();
        const std::size_t from = m_device->Bytes().size();
        m_device->SetReadiness(CFakeDevice::READY_NEVER);
        std::thread first(c.first);
        ASSERT_TRUE(m_device->WaitForBytes(from + 1, 5000));
        c.second();
        first.join();
        m_device->SetReadiness(CFakeDevice::READY_EACH_BYTE);
        ASSERT_GE(Gaps(from).size(), 1u);
        EXPECT_GE(Gaps(from)[0], 90000) << c.what;
    }
}
