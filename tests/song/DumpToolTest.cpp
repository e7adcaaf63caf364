#include "LoadedSong.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

TEST(DumpTool, PrintsTheFixedFormatWithEscapedText)
{
    // Name with a quote, a backslash, a tab and e-acute in the ANSI code
    // page; instrument with DEL; a payload and a data byte cut off by the end.
    Bytes body;
    AddMeta(body, 0x03, "Say \"hi\"\\\t\xE9 ");
    AddMeta(body, 0x04, "\x7F");
    body.insert(body.end(), { 0x83, 0x60, 0xC9, 0x20, 0x00, 0xF0, 0x02, 0x7E, 0xF7, 0x00, 0x99 });
    const std::vector<BYTE> bytes = Smf(1, 96, { body }, 2);
    const std::string path = std::string(TEST_BINARY_DIR) + "/dump-tool-test.mid";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::FILE* pipe = popen((std::string(TEST_BINARY_DIR) + "/tools/tabrino-dump " + path + " 2>/dev/null").c_str(), "r");
    std::string out;
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        out += static_cast<char>(c);
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(out,
        "song format=1 tracks=2 ppqn=96 usPerQuarter=500000 smpteOffset=0\n"
        "track 0 tempo=-1 timeSignature=-1 keySignature=-1 sequence=-1 lastTick=480 events=4 "
        "name=\"Say \\\"hi\\\"\\\\\\x09\xC3\xA9\" instrument=\"\\x7F\"\n"
        "e 0 FF 00 00 03 12 53617920226869225C09E920\n"
        "e 0 FF 00 00 04 1 7F\n"
        "e 480 C9 20 00 00 0 -\n"
        "e 480 F0 00 00 00 2 7EF7\n"
        "message \"CTabrinoDlg::OnButtonFileopen() -> no MTrk Chunk found\"\n");
    std::remove(path.c_str());
}
