#include "platform/comm/Comm.h"
#include "platform/core/Thread.h"
#include "tests/support/CFakeDevice.h"
#include "tests/support/ThreadFault.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

TEST(CommServices, LastErrorBelongsToEachThread)
{
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seen = 1;
    std::thread other([&seen] {
        seen = GetLastError();
        SetLastError(ERROR_TIMEOUT);
    });
    other.join();
    EXPECT_EQ(seen, ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(CommServices, SystemTextsComeInAnAllocatedOrACallersBuffer)
{
    LPWSTR text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, ERROR_FILE_NOT_FOUND, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(CString(text), L"No such file or directory");
    EXPECT_EQ(length, 25u);
    EXPECT_EQ(LocalFree(text), nullptr);

    wchar_t small[8];
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0, small, 8, nullptr), 0u);
    wchar_t room[64];
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, room, 64, nullptr), 17u);
    EXPECT_EQ(CString(room), L"Permission denied");
}

TEST(CommServices, PortNamesThatOpenNothing)
{
    EXPECT_TRUE(IsNoPortName(nullptr));
    EXPECT_TRUE(IsNoPortName(L""));
    EXPECT_TRUE(IsNoPortName(L"none"));
    EXPECT_FALSE(IsNoPortName(L"synth"));
    EXPECT_FALSE(IsNoPortName(L"/dev/ttyS0"));

    for (const wchar_t* name : { L"none", L"", L"/nonexistent/tty", L"fake:unregistered", L"capture:/nonexistent/dir/x" }) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE)
            << CString(name).ToUtf8();
        EXPECT_NE(GetLastError(), ERROR_SUCCESS);
    }

    // Anything but a device node is refused before it is opened: a song
    // file named as a port by mistake, a folder, a FIFO.
    std::string song = std::string(TEST_BINARY_DIR) + "/comm_not_a_port.mid";
    std::string fifo = std::string(TEST_BINARY_DIR) + "/comm_not_a_port.fifo";
    std::ofstream(song, std::ios::binary) << "MThd";
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : { song, std::string(TEST_BINARY_DIR), fifo, std::string("/dev/snd/midiC0D0-not-a-device") }) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(CreateFileW(CString::FromUtf8(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE) << path;
        EXPECT_EQ(GetLastError(), path.find("-not-a-device") != std::string::npos ? ERROR_FILE_NOT_FOUND : ERROR_NOT_A_MIDI_DEVICE)
            << path;
    }
    std::ifstream back(song, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(back), {}), "MThd");
    unlink(fifo.c_str());
}

TEST(CommServices, CallsOnUnknownHandlesFail)
{
    HANDLE bogus = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x12345));
    DCB dcb {};
    DWORD n = 0;
    BYTE b = 0;
    EXPECT_FALSE(GetCommState(bogus, &dcb));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(WriteFile(INVALID_HANDLE_VALUE, &b, 1, &n, nullptr));
    EXPECT_FALSE(ReadFile(bogus, &b, 1, &n, nullptr));
    EXPECT_FALSE(WaitCommEvent(bogus, &n, nullptr));
    EXPECT_FALSE(CloseHandle(bogus));
}

TEST(CommServices, ThreadsRunAtOnceAndOutliveTheirHandle)
{
    static std::atomic<int> ran { 0 };
    static int seven = 7;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
        ran = *static_cast<int*>(p);
        return 0;
    }, &seven, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_GT(static_cast<std::int32_t>(id), 0);
    EXPECT_TRUE(CloseHandle(thread));
    for (int i = 0; i < 2000 && ran == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(ran, 7);

    SetCreateThreadFault(11);
    EXPECT_EQ(CreateThread(nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, &id), nullptr);
    EXPECT_EQ(GetLastError(), 11u);
}

TEST(CommServices, DcbFlagWordMatchesTheBitFields)
{
    DCB dcb {};
    SetDcbFlags(dcb, 0xFFFFFFFFu);
    SetDcbFlags(dcb, (GetDcbFlags(dcb) & 0xFFFF9015u) | 0x1015u);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fParity, 0u);
    EXPECT_EQ(dcb.fOutxCtsFlow, 1u);
    EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(dcb.fDtrControl, 1u);
    EXPECT_EQ(dcb.fDsrSensitivity, 0u);
    EXPECT_EQ(dcb.fTXContinueOnXoff, 0u);
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
    EXPECT_EQ(dcb.fErrorChar, 0u);
    EXPECT_EQ(dcb.fNull, 0u);
    EXPECT_EQ(dcb.fRtsControl, 1u);
    EXPECT_EQ(dcb.fAbortOnError, 0u);
    EXPECT_EQ(dcb.fDummy2, 0x1FFFFu);
    EXPECT_EQ(dcb.BaudRate, 0u);
    EXPECT_EQ(dcb.wReserved, 0u);

    DCB zero {};
    SetDcbFlags(zero, (GetDcbFlags(zero) & 0xFFFF9015u) | 0x1015u);
    EXPECT_EQ(zero.fDummy2, 0u);
    EXPECT_EQ(zero.fRtsControl, 1u);
    EXPECT_EQ(zero.fDtrControl, 1u);
}

TEST(CommServices, CaptureWritesOneLinePerByteAtOnceAndHoldsNothingBack)
{
    std::string path = std::string(TEST_BINARY_DIR) + "/comm_capture.txt";
    HANDLE port = CreateFileW(CString::FromUtf8("capture:" + path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    const BYTE bytes[] = { 0x90, 0x3C, 0x0A, 0xFF };
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(port, bytes, sizeof bytes, &done, nullptr));
    EXPECT_EQ(done, 4u);
    COMSTAT stat {};
    ASSERT_TRUE(ClearCommError(port, &done, &stat));
    EXPECT_EQ(stat.cbOutQue, 0u) << "every byte has left: nothing to wait for";

    // Read while the port is still open: the lines are already there.
    std::ifstream in(path);
    std::vector<std::string> hex;
    long long previous = -1;
    long long us;
    std::string value;
    while (in >> us >> value) {
        EXPECT_GE(us, previous);
        previous = us;
        hex.push_back(value);
    }
    EXPECT_EQ(hex, (std::vector<std::string> { "90", "3C", "0A", "FF" }));
    EXPECT_TRUE(CloseHandle(port));
    EXPECT_FALSE(WriteFile(port, bytes, 1, &done, nullptr));
}

TEST(CommServices, CaptureIntoAPipeFailsInsteadOfBlockingOrEndingTheProcess)
{
    std::string path = std::string(TEST_BINARY_DIR) + "/comm_capture.fifo";
    unlink(path.c_str());
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    CString name = CString::FromUtf8("capture:" + path);
    // Nobody reads: the open fails at once.
    EXPECT_EQ(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ENXIO));

    // The reader goes away: the next byte fails with the broken pipe, and
    // the process lives on.
    int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    HANDLE port = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    BYTE b = 0x90;
    DWORD done = 0;
    EXPECT_TRUE(WriteFile(port, &b, 1, &done, nullptr));
    close(reader);
    EXPECT_FALSE(WriteFile(port, &b, 1, &done, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EPIPE));
    EXPECT_TRUE(CloseHandle(port));
    unlink(path.c_str());
}

TEST(CommServices, FakeDeviceReadinessScripts)
{
    auto device = CFakeDevice::Create(L"services");
    HANDLE port = CreateFileW(device->PortName(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetCommMask(port, EV_RXCHAR | EV_CTS | EV_TXEMPTY));
    BYTE b = 0x42;
    DWORD n = 0, events = 0;
    auto queued = [&] {
        COMSTAT stat {};
        EXPECT_TRUE(ClearCommError(port, nullptr, &stat));
        return stat.cbOutQue;
    };

    // The byte stays queued until the device lets it go.
    device->SetReadiness(CFakeDevice::READY_AFTER_DELAY, 40);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(WriteFile(port, &b, 1, &n, nullptr));
    EXPECT_EQ(queued(), 1u);
    ASSERT_TRUE(WaitCommEvent(port, &events, nullptr));
    EXPECT_EQ(events, EV_TXEMPTY);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(39));
    EXPECT_EQ(queued(), 0u);

    // A device that signals with CTS only.
    device->SetReadiness(CFakeDevice::READY_CTS_AFTER_DELAY, 20);
    ASSERT_TRUE(WriteFile(port, &b, 1, &n, nullptr));
    ASSERT_TRUE(WaitCommEvent(port, &events, nullptr));
    EXPECT_EQ(events, EV_CTS);
    EXPECT_EQ(queued(), 1u);

    // A device that never answers leaves the waiter to the next event.
    device->SetReadiness(CFakeDevice::READY_NEVER);
    ASSERT_TRUE(WriteFile(port, &b, 1, &n, nullptr));
    device->Receive({ 1, 2 });
    ASSERT_TRUE(WaitCommEvent(port, &events, nullptr));
    EXPECT_EQ(events, EV_RXCHAR);
    BYTE in[4] = {};
    ASSERT_TRUE(ReadFile(port, in, 4, &n, nullptr));
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(in[1], 2);

    // A device that takes nothing: the write runs out its time-out.
    COMMTIMEOUTS timeouts { MAXDWORD, 0, 0, 0, 30 };
    ASSERT_TRUE(SetCommTimeouts(port, &timeouts));
    device->TimeOutWrites(1);
    start = std::chrono::steady_clock::now();
    EXPECT_TRUE(WriteFile(port, &b, 1, &n, nullptr));
    EXPECT_EQ(n, 0u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(29));
    device->SetReadiness(CFakeDevice::READY_EACH_BYTE);
    EXPECT_TRUE(WriteFile(port, &b, 1, &n, nullptr));
    EXPECT_EQ(n, 1u) << "the next write goes through";
    device->SetFailure(CFakeDevice::CALL_WRITE, 5);
    EXPECT_FALSE(WriteFile(port, &b, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), 5u);

    EXPECT_EQ(device->Values(), (std::vector<BYTE> { 0x42, 0x42, 0x42, 0x42 }));
    EXPECT_TRUE(CloseHandle(port));
    EXPECT_FALSE(device->IsOpen());
}
