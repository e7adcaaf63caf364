#include "platform/comm/CMidiByteParser.h"
#include "platform/comm/CWavWriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>

namespace {

std::vector<std::vector<BYTE>> Parse(const std::vector<BYTE>& stream)
{
    CMidiByteParser parser;
    std::vector<std::vector<BYTE>> messages;
    for (BYTE b : stream) {
        CMidiByteParser::Message m;
        if (!parser.Feed(b, m))
            continue;
        if (m.status == 0xF0)
            messages.push_back(m.sysex);
        else
            messages.push_back({ m.status, m.data1, m.data2 });
    }
    return messages;
}

}

TEST(MidiByteParser, RunningStatusAndShortMessages)
{
    auto messages = Parse({ 0x90, 60, 100, 62, 90, 0xC3, 5, 7, 0xD1, 40, 0xE0, 0, 64 });
    std::vector<std::vector<BYTE>> expected { { 0x90, 60, 100 }, { 0x90, 62, 90 }, { 0xC3, 5, 0 }, { 0xC3, 7, 0 },
        { 0xD1, 40, 0 }, { 0xE0, 0, 64 } };
    EXPECT_EQ(messages, expected);
}

TEST(MidiByteParser, StrayDataRealTimeAndSystemBytes)
{
    // Data with no status is dropped; a clock byte inside a message does
    // not break it; system common bytes cancel running status.
    auto messages = Parse({ 10, 20, 0x80, 60, 0xF8, 0, 0xF6, 61, 0xB2, 7 });
    std::vector<std::vector<BYTE>> expected { { 0xF8, 0, 0 }, { 0x80, 60, 0 }, { 0xF6, 0, 0 } };
    EXPECT_EQ(messages, expected);
}

TEST(MidiByteParser, SystemExclusiveWholeOrNotAtAll)
{
    auto messages = Parse({ 0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x90, 1, 2 });
    std::vector<std::vector<BYTE>> expected { { 0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7 }, { 0x90, 1, 2 } };
    EXPECT_EQ(messages, expected);

    // Interrupted by a status byte: dropped, and the new message parses.
    EXPECT_EQ(Parse({ 0xF0, 1, 2, 0x91, 3, 4 }), (std::vector<std::vector<BYTE>> { { 0x91, 3, 4 } }));

    std::vector<BYTE> huge { 0xF0 };
    huge.insert(huge.end(), CMidiByteParser::kSysexLimit + 10, 0x11);
    huge.push_back(0xF7);
    huge.insert(huge.end(), { 0x92, 5, 6 });
    EXPECT_EQ(Parse(huge), (std::vector<std::vector<BYTE>> { { 0x92, 5, 6 } }));
}

TEST(WavWriter, HeaderCarriesTheFinalSizes)
{
    std::string path = std::string(TEST_BINARY_DIR) + "/comm_writer.wav";
    std::int16_t samples[6] = { 1, -1, 300, -300, 32767, -32768 };
    auto read = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    // Sound beyond what the header can state is a failed write, not sound
    // dropped while the writing seems to go on.
    {
        CWavWriter writer;
        ASSERT_TRUE(writer.Open(path, 22050, 2, 10));
        EXPECT_FALSE(writer.Append(samples, 3));
        EXPECT_EQ(writer.Error(), EFBIG);
        EXPECT_FALSE(writer.Append(samples, 1));
    }
    std::vector<unsigned char> b = read();
    ASSERT_EQ(b.size(), 44u + 8);
    EXPECT_EQ(b[40], 8);
    {
        CWavWriter writer;
        ASSERT_TRUE(writer.Open(path, 22050, 2));
        writer.Append(samples, 3);
        writer.Append(samples, 1);
    }
    b = read();
    ASSERT_EQ(b.size(), 44u + 16);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(b[4], 52);
    EXPECT_EQ(b[24] | (b[25] << 8), 22050);
    EXPECT_EQ(b[28] | (b[29] << 8) | (b[30] << 16), 22050 * 4);
    EXPECT_EQ(b[40], 16);
    EXPECT_EQ(b[52], 0xFF);
    EXPECT_EQ(b[53], 0x7F);
    EXPECT_EQ(b[56], 0x01);
}
