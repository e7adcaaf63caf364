#include "player/CSongMemory.h"

#include <gtest/gtest.h>

// The memory file reads back what was written, texts of any bytes among
// them, and a file not of its form is refused whole.
TEST(SongMemoryText, ReadsBackWhatItWroteAndRefusesWhatItDidNot)
{
    CSongMemory memory;
    memory.Put(0x0123456789abcdefULL, { { "Tempo", "96" }, { "Bookmarks", "a\\b\nc\rd=e" } });
    memory.Put(7, { { "Loop", "0 384 1" } });
    CSongMemory read;
    ASSERT_TRUE(read.Parse(memory.Format()));
    EXPECT_EQ(read.Songs(), (std::vector<std::uint64_t> { 7, 0x0123456789abcdefULL }));
    ASSERT_NE(read.Find(0x0123456789abcdefULL), nullptr);
    EXPECT_EQ(read.Find(0x0123456789abcdefULL)->at("Bookmarks"), "a\\b\nc\rd=e");

    const std::string head = std::string(CSongMemory::kHeader) + "\n";
    std::string many = head + "[0000000000000001]\n";
    for (size_t n = 0; n <= CSongMemory::kMaxEntries; ++n)
        many += "E" + std::to_string(n) + "=1\n";
    for (const std::string& text : { std::string(), std::string("TabrinoCE song memory 2\n"),
             head + "Tempo=1\n", head + "[00000000000000zz]\nTempo=1\n", head + "[0000000000000001]\nTem po=1\n",
             head + "[0000000000000001]\nTempo\n", head + "[0000000000000001]\nTempo=\\x\n",
             head + "[0000000000000001]\nTempo=" + std::string(CSongMemory::kMaxText + 1, '1') + "\n", many }) {
        EXPECT_FALSE(read.Parse(text)) << text.substr(0, 80);
        EXPECT_EQ(read.Size(), 0u);
    }
}
