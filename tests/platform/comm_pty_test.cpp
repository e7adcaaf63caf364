#include "midiout/CSerialMidiOut.h"
#include "platform/comm/Comm.h"
#include "player/CPlayerState.h"
#include "song/CMidiEvent.h"
#include "tests/support/CMessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A pseudo-terminal pair: the port under test opens the slave, the test
// watches it through the master.
class PtyPair {
public:
    PtyPair()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_slave = ptsname(m_master);
    }
    ~PtyPair() { CloseMaster(); }
    void CloseMaster()
    {
        if (m_master >= 0)
            close(m_master);
        m_master = -1;
    }
    bool Ok() const { return m_master >= 0 && !m_slave.empty(); }
    CString SlaveName() const { return CString::FromUtf8(m_slave); }
    int Master() const { return m_master; }

    // Reads what arrived at the master within the time allowed.
    std::vector<BYTE> ReadMaster(std::size_t want, int timeoutMs = 2000)
    {
        std::vector<BYTE> got;
        auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < want && Clock::now() < deadline) {
            pollfd p { m_master, POLLIN, 0 };
            if (poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
                BYTE buffer[256];
                ssize_t n = read(m_master, buffer, sizeof buffer);
                if (n > 0)
                    got.insert(got.end(), buffer, buffer + n);
            }
        }
        return got;
    }

private:
    int m_master { -1 };
    std::string m_slave;
};

HANDLE OpenPort(const CString& name)
{
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

DCB MidiLine(HANDLE port)
{
    DCB dcb {};
    dcb.DCBlength = sizeof(DCB);
    EXPECT_TRUE(GetCommState(port, &dcb));
    dcb.BaudRate = 38400;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONE5STOPBITS;
    SetDcbFlags(dcb, (GetDcbFlags(dcb) & 0xFFFF9015u) | 0x1015u);
    return dcb;
}

}

TEST(CommPty, MidiLineSettingsReachTheTerminal)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    HANDLE port = OpenPort(pty.SlaveName());
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    DCB dcb = MidiLine(port);
    ASSERT_TRUE(SetCommState(port, &dcb));

    termios tio {};
    ASSERT_EQ(tcgetattr(pty.Master(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B38400));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(tio.c_cflag & PARENB);
    EXPECT_TRUE(tio.c_cflag & CSTOPB) << "one and a half stop bits become two";
    EXPECT_TRUE(tio.c_cflag & CRTSCTS);
    EXPECT_TRUE(tio.c_cflag & CREAD);
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(tio.c_oflag & OPOST);
    EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF | ICRNL));

    DCB back {};
    ASSERT_TRUE(GetCommState(port, &back));
    EXPECT_EQ(back.BaudRate, 38400u);
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.Parity, NOPARITY);
    EXPECT_EQ(back.StopBits, ONE5STOPBITS);
    EXPECT_EQ(back.fOutxCtsFlow, 1u);
    EXPECT_EQ(back.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
    EXPECT_EQ(back.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));

    dcb.BaudRate = 12345;
    EXPECT_FALSE(SetCommState(port, &dcb));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(CloseHandle(port));
}

TEST(CommPty, BytesPassRawBothWaysAndNoneWaitsInAQueue)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    HANDLE port = OpenPort(pty.SlaveName());
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    DCB dcb = MidiLine(port);
    ASSERT_TRUE(SetCommState(port, &dcb));
    COMMTIMEOUTS timeouts { MAXDWORD, 0, 0, 10, 1000 };
    ASSERT_TRUE(SetCommTimeouts(port, &timeouts));
    ASSERT_TRUE(SetCommMask(port, EV_RXCHAR | EV_CTS | EV_TXEMPTY));

    // Bytes a cooked terminal would change: CR, LF, ^C, ^S. A pty keeps
    // no output queue, so each byte has left once it is written.
    const BYTE out[] = { 0x90, 0x0D, 0x0A, 0x03, 0x13, 0xFF };
    for (BYTE b : out) {
        DWORD done = 0;
        ASSERT_TRUE(WriteFile(port, &b, 1, &done, nullptr));
        EXPECT_EQ(done, 1u);
        COMSTAT stat {};
        ASSERT_TRUE(ClearCommError(port, nullptr, &stat));
        EXPECT_EQ(stat.cbOutQue, 0u);
    }
    EXPECT_EQ(pty.ReadMaster(sizeof out), std::vector<BYTE>(out, out + sizeof out));

    const BYTE in[] = { 0xF8, 0x0D, 0x03 };
    ASSERT_EQ(write(pty.Master(), in, sizeof in), static_cast<ssize_t>(sizeof in));
    DWORD events = 0;
    ASSERT_TRUE(WaitCommEvent(port, &events, nullptr));
    EXPECT_EQ(events, EV_RXCHAR);
    std::vector<BYTE> got;
    for (int tries = 0; tries < 200 && got.size() < sizeof in; ++tries) {
        BYTE b;
        DWORD n = 0;
        ASSERT_TRUE(ReadFile(port, &b, 1, &n, nullptr));
        if (n == 1)
            got.push_back(b);
        else
            usleep(1000);
    }
    EXPECT_EQ(got, std::vector<BYTE>(in, in + sizeof in));
    BYTE b;
    DWORD n = 5;
    EXPECT_TRUE(ReadFile(port, &b, 1, &n, nullptr));
    EXPECT_EQ(n, 0u) << "an empty port returns at once";
    EXPECT_TRUE(CloseHandle(port));
}

TEST(CommPty, ClosingTheHandleReleasesAWaitingThread)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    HANDLE port = OpenPort(pty.SlaveName());
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetCommMask(port, EV_RXCHAR | EV_CTS));
    std::atomic<int> state { 0 };
    std::thread waiter([&] {
        DWORD events = 0;
        state = 1;
        BOOL ok = WaitCommEvent(port, &events, nullptr);
        state = (!ok && events == 0 && GetLastError() == ERROR_INVALID_HANDLE) ? 2 : 3;
    });
    while (state == 0)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(state, 1) << "nothing happened on the port yet";
    auto start = Clock::now();
    EXPECT_TRUE(CloseHandle(port));
    waiter.join();
    EXPECT_EQ(state, 2);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 2000);
    EXPECT_FALSE(CloseHandle(port));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(CommPty, AHungUpDeviceDoesNotWakeTheWaiterOverAndOver)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    HANDLE port = OpenPort(pty.SlaveName());
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetCommMask(port, EV_RXCHAR | EV_CTS));
    std::atomic<int> wakes { 0 };
    std::atomic<bool> done { false };
    std::thread waiter([&] {
        DWORD events = 0;
        while (WaitCommEvent(port, &events, nullptr))
            ++wakes;
        done = true;
    });
    pty.CloseMaster();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_LE(wakes, 1);
    EXPECT_FALSE(done);
    EXPECT_TRUE(CloseHandle(port));
    waiter.join();
    EXPECT_TRUE(done);
}

TEST(CommPty, AWriteThatCannotFinishReturnsWhatWentOutAfterItsTimeout)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    HANDLE port = OpenPort(pty.SlaveName());
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetCommMask(port, EV_CTS));
    // A write that cannot go out within its time-out returns what went.
    COMMTIMEOUTS timeouts { MAXDWORD, 0, 0, 0, 50 };
    ASSERT_TRUE(SetCommTimeouts(port, &timeouts));
    std::vector<BYTE> big(1 << 20, 0x55);
    DWORD done = 0;
    auto start = Clock::now();
    EXPECT_TRUE(WriteFile(port, big.data(), static_cast<DWORD>(big.size()), &done, nullptr));
    EXPECT_GT(done, 0u);
    EXPECT_LT(done, big.size()) << "nobody reads the master, so the buffer fills";
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 3000);
    EXPECT_TRUE(CloseHandle(port));
}

TEST(CommPty, AStageOnAPtyWritesItsStreamInOrder)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    CMessageBoxRecorder boxes;
    CSerialMidiOut out;
    ASSERT_TRUE(out.OpenPort(pty.SlaveName()));
    EXPECT_TRUE(boxes.Entries().empty());
    out.Start();
    CPlayerState state;
    CMidiEvent note;
    note.m_status = 0x90;
    note.m_data1 = 64;
    note.m_data2 = 90;
    out.Send(&note, &state, FALSE);
    std::vector<BYTE> got = pty.ReadMaster(16 * 9 + 16 * 3 + 3);
    ASSERT_EQ(got.size(), 16u * 9 + 16 * 3 + 3);
    EXPECT_EQ(std::vector<BYTE>(got.begin(), got.begin() + 9), (std::vector<BYTE> { 0xB0, 120, 0, 0xB0, 121, 0, 0xB0, 123, 0 }));
    EXPECT_EQ(std::vector<BYTE>(got.end() - 3, got.end()), (std::vector<BYTE> { 0x90, 64, 90 }));
    out.ClosePort();
    EXPECT_EQ(out.m_readThreadId, -1);
}
