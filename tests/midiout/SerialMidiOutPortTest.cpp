#include "MidiOutFixture.h"

#include "platform/comm/Comm.h"
#include "platform/core/Thread.h"
#include "platform/core/TickCount.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A tick count that moves one millisecond each time it is read, so a wait
// on it costs no real time and its length can be counted exactly.
std::atomic<DWORD> g_fakeTicks { 0 };
DWORD StepTicks() { return g_fakeTicks.fetch_add(1) + 1; }

class StepTickCount {
public:
    StepTickCount() { SetTickCountSource(&StepTicks); }
    ~StepTickCount() { SetTickCountSource(nullptr); }
};

}

class SerialMidiOutPort : public MidiOutFixture {
protected:
    void ExpectOneBox(const wchar_t* text, UINT type)
    {
        auto entries = m_boxes.Entries();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].owner, nullptr);
        EXPECT_EQ(entries[0].text, text);
        EXPECT_EQ(entries[0].caption, L"Error");
        EXPECT_EQ(entries[0].type, type);
    }

    // After a failure past the open, the port stays open without a read
    // thread, and ClosePort releases it at once.
    void ExpectOpenWithoutReadThread()
    {
        EXPECT_NE(m_out.m_hPort, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(m_device->IsOpen());
        EXPECT_EQ(m_out.m_readThreadId, -1);
        m_out.ClosePort();
        EXPECT_EQ(m_out.m_hPort, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(m_device->IsOpen());
    }
};

TEST_F(SerialMidiOutPort, OpenSetsTheLineAndLeavesTheOtherSettingsAlone)
{
    // The device starts with every flag set and recognisable extra fields.
    HANDLE port = CreateFileW(m_device->PortName(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    DCB dcb;
    ASSERT_TRUE(GetCommState(port, &dcb));
    SetDcbFlags(dcb, 0xFFFFFFFFu);
    dcb.XonLim = 11;
    dcb.XoffLim = 22;
    dcb.EvtChar = 'e';
    dcb.StopBits = TWOSTOPBITS;
    ASSERT_TRUE(SetCommState(port, &dcb));
    ASSERT_TRUE(CloseHandle(port));

    Open();
    DCB now = m_device->State();
    EXPECT_EQ(now.BaudRate, 38400u);
    EXPECT_EQ(now.ByteSize, 8);
    EXPECT_EQ(now.Parity, NOPARITY);
    EXPECT_EQ(now.StopBits, ONE5STOPBITS);
    EXPECT_EQ(GetDcbFlags(now), 0xFFFF9015u);
    EXPECT_EQ(now.XonLim, 11);
    EXPECT_EQ(now.XoffLim, 22);
    EXPECT_EQ(now.EvtChar, 'e');
    COMMTIMEOUTS timeouts = m_device->Timeouts();
    EXPECT_EQ(timeouts.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 10u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 1000u);
    EXPECT_NE(m_out.m_readThreadId, -1);
    EXPECT_TRUE(m_out.m_readThreadUp);
}

TEST_F(SerialMidiOutPort, UnknownPortFailsWithItsMessage)
{
    EXPECT_FALSE(m_out.OpenPort(L"fake:nobody-registered-this"));
    ExpectOneBox(L"Unable to open the port", MB_OK);
    EXPECT_EQ(m_out.m_hPort, INVALID_HANDLE_VALUE);
    m_out.ClosePort();

    m_boxes.Clear();
    m_device->SetFailure(CFakeDevice::CALL_OPEN, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(m_out.OpenPort(m_device->PortName()));
    ExpectOneBox(L"Unable to open the port", MB_OK);
    EXPECT_EQ(m_out.m_hPort, INVALID_HANDLE_VALUE);
}

TEST_F(SerialMidiOutPort, UnreadableSettingsShowTheSystemText)
{
    m_device->SetFailure(CFakeDevice::CALL_GET_STATE, 25);
    EXPECT_FALSE(m_out.OpenPort(m_device->PortName()));
    ExpectOneBox(L"Inappropriate ioctl for device", MB_ICONINFORMATION);
    EXPECT_EQ(m_device->State().BaudRate, 9600u);
    ExpectOpenWithoutReadThread();
}

TEST_F(SerialMidiOutPort, AFileThatIsNoTerminalShowsTheSystemText)
{
    EXPECT_FALSE(m_out.OpenPort(L"/dev/null"));
    ExpectOneBox(L"Inappropriate ioctl for device", MB_ICONINFORMATION);
    EXPECT_NE(m_out.m_hPort, INVALID_HANDLE_VALUE);
    m_out.ClosePort();
    EXPECT_EQ(m_out.m_hPort, INVALID_HANDLE_VALUE);
}

TEST_F(SerialMidiOutPort, RefusedSettingsShowTheSystemText)
{
    m_device->SetFailure(CFakeDevice::CALL_SET_STATE, 22);
    EXPECT_FALSE(m_out.OpenPort(m_device->PortName()));
    ExpectOneBox(L"Invalid argument", MB_ICONINFORMATION);
    ExpectOpenWithoutReadThread();
}

TEST_F(SerialMidiOutPort, RefusedTimeoutsShowTheirMessage)
{
    m_device->SetFailure(CFakeDevice::CALL_SET_TIMEOUTS, 22);
    EXPECT_FALSE(m_out.OpenPort(m_device->PortName()));
    ExpectOneBox(L"Unable to set the time-out parameters", MB_OK);
    ExpectOpenWithoutReadThread();
}

TEST_F(SerialMidiOutPort, MissingReadThreadShowsItsMessage)
{
    SetCreateThreadFault(11);
    EXPECT_FALSE(m_out.OpenPort(m_device->PortName()));
    ExpectOneBox(L"Unable to create the read thread", MB_OK);
    ExpectOpenWithoutReadThread();
}

TEST_F(SerialMidiOutPort, ClosePortEndsTheReadThreadAndIsHarmlessWhenClosed)
{
    auto start = Clock::now();
    m_out.ClosePort();
    EXPECT_LT(MillisecondsSince(start), 1000) << "nothing was open, nothing to wait for";

    Open();
    ASSERT_TRUE(m_device->IsOpen());
    start = Clock::now();
    m_out.ClosePort();
    EXPECT_LT(MillisecondsSince(start), 2000);
    EXPECT_EQ(m_out.m_readThreadId, -1);
    EXPECT_EQ(m_out.m_hPort, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(m_device->IsOpen());

    // The port can be opened again and works as before.
    Open();
    m_out.Start();
    EXPECT_EQ(Take().size(), AllOffBytes().size() + VolumeBytes(0).size());
}

TEST_F(SerialMidiOutPort, OpeningAnotherPortReleasesTheFirst)
{
    Open();
    auto other = CFakeDevice::Create(L"midiout-other");
    ASSERT_TRUE(m_out.OpenPort(other->PortName()));
    EXPECT_FALSE(m_device->IsOpen());
    EXPECT_TRUE(other->IsOpen());
    m_out.Start();
    EXPECT_TRUE(Take().empty());
    EXPECT_FALSE(other->Values().empty());
}

TEST_F(SerialMidiOutPort, DestructorStopsActiveOutputAndClosesThePort)
{
    {
        CSerialMidiOut out;
        ASSERT_TRUE(out.OpenPort(m_device->PortName()));
        out.Start();
        Take();
    }
    EXPECT_EQ(Take(), AllOffBytes());
    EXPECT_FALSE(m_device->IsOpen());
}

TEST_F(SerialMidiOutPort, DeviceThatNeverSignalsCostsOneHundredMillisecondsPerByte)
{
    Open();
    m_out.Start();
    Take();
    m_device->SetReadiness(CFakeDevice::READY_NEVER);
    {
        StepTickCount ticks;
        DWORD before = GetTickCount();
        EXPECT_TRUE(SendMessage(0x90, 60, 100));
        DWORD spent = GetTickCount() - before;
        auto bytes = m_device->Bytes();
        ASSERT_EQ(bytes.size(), AllOffBytes().size() + VolumeBytes(0).size() + 3);
        const auto* note = &bytes[bytes.size() - 3];
        for (int i = 1; i < 3; ++i) {
            DWORD gap = note[i].tick - note[i - 1].tick;
            EXPECT_GE(gap, 101u);
            EXPECT_LE(gap, 110u);
        }
        EXPECT_GE(spent, 303u);
        EXPECT_LE(spent, 330u);
    }
    m_device->SetReadiness(CFakeDevice::READY_EACH_BYTE);
}

TEST_F(SerialMidiOutPort, ReadyDeviceIsNotWaitedFor)
{
    Open();
    auto start = Clock::now();
    m_out.Start();
    for (int i = 0; i < 100; ++i)
        SendMessage(0x90, 60, static_cast<BYTE>(i));
    // 492 bytes: a device that never answered would take 49 seconds.
    EXPECT_EQ(Take().size(), 492u);
    EXPECT_LT(MillisecondsSince(start), 10000);
}

TEST_F(SerialMidiOutPort, DeviceThatSignalsLateIsWaitedFor)
{
    Open();
    m_out.Start();
    Take();
    m_device->SetReadiness(CFakeDevice::READY_AFTER_DELAY, 30);
    for (int i = 0; i < 3; ++i)
        SendMessage(0x90, 60, 100);
    auto bytes = m_device->Bytes();
    ASSERT_GE(bytes.size(), 10u);
    for (std::size_t i = bytes.size() - 8; i < bytes.size(); ++i)
        EXPECT_GE(bytes[i].microseconds - bytes[i - 1].microseconds, 29000);
    m_device->SetReadiness(CFakeDevice::READY_EACH_BYTE);
}

TEST_F(SerialMidiOutPort, VolumeAndSendOnTwoThreadsNeverInterleave)
{
    Open();
    m_out.Start();
    Take();
    constexpr int kRounds = 300;
    std::atomic<int> waiting { 2 };
    auto together = [&waiting] {
        --waiting;
        while (waiting != 0)
            std::this_thread::yield();
    };
    std::thread player([&] {
        together();
        for (int i = 0; i < kRounds; ++i) {
            SendMessage(0x91, 60, 100);
            SendMessage(0xC1, 5, 0);
            SendMessage(0x81, 60, 0);
        }
    });
    std::thread ui([&] {
        together();
        for (int i = 0; i < kRounds; ++i)
            m_out.SetVolume(i * 1000 / kRounds);
    });
    player.join();
    ui.join();

    std::vector<BYTE> stream = Take();
    int notes = 0, programs = 0, volumes = 0;
    std::size_t i = 0;
    while (i < stream.size()) {
        BYTE status = stream[i];
        ASSERT_GE(status, 0x80) << "a data byte at offset " << i << " where a message should start";
        std::size_t length = ((status & 0xF0) == 0xC0) ? 2 : 3;
        ASSERT_LE(i + length, stream.size());
        for (std::size_t k = 1; k < length; ++k)
            ASSERT_LT(stream[i + k], 0x80) << "a status byte inside a message at offset " << i + k;
        if ((status & 0xF0) == 0xB0) {
            ASSERT_EQ(stream[i + 1], 7);
            ++volumes;
        } else if (status == 0xC1) {
            ++programs;
        } else {
            ++notes;
        }
        i += length;
    }
    EXPECT_EQ(notes, 2 * kRounds);
    EXPECT_EQ(programs, kRounds);
    EXPECT_EQ(volumes, 16 * kRounds);
}
