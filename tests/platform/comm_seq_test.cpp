#include "platform/comm/CAlsaLibrary.h"
#include "platform/comm/CPortList.h"
#include "platform/comm/CSeqEncoder.h"
#include "platform/comm/CSeqPort.h"
#include "platform/comm/Comm.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace {

bool HaveSequencer()
{
    return access("/dev/snd/seq", F_OK) == 0;
}

}

// The stream the output stage writes becomes one sequencer event per
// message, complete only with its last byte.
TEST(CommSeq, EncoderTurnsEachCompleteMessageIntoOneEvent)
{
    struct Case {
        std::vector<BYTE> bytes;
        const char* event;
    };
    CSeqEncoder encoder;
    ASSERT_TRUE(encoder.Ok());
    for (const Case& c : {
             Case { { 0x90, 60, 100 }, "noteon 0 60 100" },
             Case { { 0x8F, 61, 64 }, "noteoff 15 61 64" },
             Case { { 0xA2, 62, 10 }, "keypress 2 62 10" },
             Case { { 0xB9, 7, 100 }, "controller 9 7 100" },
             Case { { 0xC5, 19 }, "pgmchange 5 19" },
             Case { { 0xD1, 77 }, "chanpress 1 77" },
             Case { { 0xE3, 0, 0 }, "pitchbend 3 -8192" },
             Case { { 0xE3, 0, 64 }, "pitchbend 3 0" },
         }) {
        for (size_t i = 0; i + 1 < c.bytes.size(); ++i)
            EXPECT_FALSE(encoder.Feed(c.bytes[i])) << c.event;
        ASSERT_TRUE(encoder.Feed(c.bytes.back())) << c.event;
        EXPECT_EQ(encoder.Describe(), c.event);
    }
    // A system-exclusive message longer than the encoder's buffer goes out
    // in pieces that join to the whole message, the last with its F7.
    std::vector<BYTE> sysEx(2500, 0x55), joined;
    sysEx.front() = 0xF0;
    sysEx.back() = 0xF7;
    std::string last;
    for (BYTE b : sysEx) {
        if (encoder.Feed(b)) {
            const snd_seq_event& ev = encoder.Event();
            ASSERT_EQ(ev.type, SND_SEQ_EVENT_SYSEX);
            const BYTE* data = static_cast<const BYTE*>(ev.data.ext.ptr);
            joined.insert(joined.end(), data, data + ev.data.ext.len);
            last = encoder.Describe();
        }
    }
    EXPECT_EQ(joined, sysEx);
    EXPECT_EQ(last, "sysex " + std::to_string(2500 % 1024));
}

// A quoted client name is taken whole, ':' and '.' included, and must be
// followed by nothing or by the port; alsa-lib's parser would end the name
// at its first ':' or '.'.
TEST(CommSeq, AQuotedClientNameIsSplitOffWhole)
{
    struct Case {
        const char* address;
        bool quoted;
        const char* client;
        const char* rest;
    };
    for (const Case& c : {
             Case { "\"Name:with colon\":0", true, "Name:with colon", ":0" },
             Case { "'FLUID Synth'.1", true, "FLUID Synth", ".1" },
             Case { "\"A.B\"", true, "A.B", "" },
             Case { "\"It's\":2", true, "It's", ":2" },
             Case { "128:0", false, "", "" },
             Case { "FLUID Synth", false, "", "" },
             Case { "\"unclosed:0", true, "", "" },
             Case { "\"\":0", true, "", "" },
             Case { "\"Name\"x", true, "", "" },
         }) {
        std::string client = "old", rest = "old";
        EXPECT_EQ(CSeqPort::SplitQuotedClient(c.address, client, rest), c.quoted) << c.address;
        EXPECT_EQ(client, c.client) << c.address;
        EXPECT_EQ(rest, c.rest) << c.address;
    }
}

TEST(CommSeq, WithoutASequencerThePortCannotBeOpenedAndTheListSaysWhy)
{
    if (HaveSequencer())
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    for (const wchar_t* name : { L"seq", L"seq:128:0", L"seq:FLUID Synth", L"seq:\"Name:with colon\":0" }) {
        EXPECT_EQ(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    }
    CPortList list = CPortList::Scan(false);
    ASSERT_EQ(list.m_notes.size(), 1u);
    EXPECT_NE(list.m_notes[0].Find(L"ALSA sequencer"), -1);
    EXPECT_NE(list.Text().find("# no sequencer ports"), std::string::npos);
}

TEST(CommSeq, WithASequencerOurPortOpensAndTakesMessages)
{
    if (!HaveSequencer())
        GTEST_SKIP() << "no ALSA sequencer on this machine (/dev/snd/seq is missing)";
    HANDLE port = CreateFileW(L"seq", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    const BYTE note[] = { 0x90, 60, 100, 0x80, 60, 0 };
    DWORD done = 0;
    EXPECT_TRUE(WriteFile(port, note, sizeof note, &done, nullptr));
    EXPECT_EQ(done, sizeof note);
    EXPECT_TRUE(CloseHandle(port));
    for (const wchar_t* name : { L"seq:no client has this name", L"seq:\"no client: this name\":0" }) {
        EXPECT_EQ(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
    }
}

TEST(CommSeq, ThePortListNamesFirstAndEndsWithTheFileForms)
{
    CPortList list = CPortList::Scan(false);
    ASSERT_GE(list.m_entries.size(), 4u);
    EXPECT_EQ(list.m_entries.front().name, L"synth");
    size_t n = list.m_entries.size();
    EXPECT_EQ(list.m_entries[n - 3].name, L"none");
    EXPECT_EQ(list.m_entries[n - 2].name, L"capture:FILE");
    EXPECT_TRUE(list.m_entries[n - 2].needsFile);
    EXPECT_EQ(list.m_entries[n - 1].name, L"synth:FILE.wav");
    for (const CPortList::Entry& entry : list.m_entries) {
        EXPECT_FALSE(entry.description.IsEmpty()) << entry.name.ToUtf8();
        EXPECT_NE(list.Text().find(entry.name.ToUtf8() + "  "), std::string::npos) << entry.name.ToUtf8();
    }
}
