#include "platform/comm/CRawMidiPort.h"
#include "platform/core/CHandleTable.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A FIFO stands in for the device node: the port must pass bytes through
// untouched, keep its settings without effect, and hold no byte in a queue.
TEST(CommRawMidi, BytesPassUntouchedAndNoneWaitsInAQueue)
{
    EXPECT_TRUE(CRawMidiPort::IsRawMidiPath("/dev/snd/midiC1D0"));
    EXPECT_TRUE(CRawMidiPort::IsRawMidiPath("/dev/midi2"));
    EXPECT_FALSE(CRawMidiPort::IsRawMidiPath("/dev/ttyUSB0"));

    std::string path = std::string(TEST_BINARY_DIR) + "/comm_rawmidi.fifo";
    unlink(path.c_str());
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    auto device = CRawMidiPort::Open(open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(device);
    HANDLE port = CHandleTable::Add(device);
    int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);

    DCB dcb {};
    ASSERT_TRUE(GetCommState(port, &dcb));
    dcb.BaudRate = 38400;
    dcb.StopBits = ONE5STOPBITS;
    EXPECT_TRUE(SetCommState(port, &dcb)) << "no line to set, yet the call succeeds";
    DCB back {};
    ASSERT_TRUE(GetCommState(port, &back));
    EXPECT_EQ(back.BaudRate, 38400u);
    const BYTE bytes[] = { 0xF0, 0x7E, 0x0D, 0xF7, 0x90, 0x3C, 0x40 };
    for (BYTE b : bytes) {
        DWORD done = 0;
        ASSERT_TRUE(WriteFile(port, &b, 1, &done, nullptr));
        EXPECT_EQ(done, 1u);
        COMSTAT stat {};
        ASSERT_TRUE(ClearCommError(port, nullptr, &stat));
        EXPECT_EQ(stat.cbOutQue, 0u);
    }
    BYTE got[16] = {};
    ASSERT_EQ(read(reader, got, sizeof got), static_cast<ssize_t>(sizeof bytes));
    EXPECT_EQ(std::vector<BYTE>(got, got + sizeof bytes), std::vector<BYTE>(bytes, bytes + sizeof bytes));
    EXPECT_TRUE(CloseHandle(port));
    close(reader);
    unlink(path.c_str());
}
