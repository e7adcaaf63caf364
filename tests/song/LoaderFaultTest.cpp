#include "LoadedSong.h"

#include <gtest/gtest.h>

TEST(LoaderBounds, EveryTruncationLoadsAPrefixOfTheWholeFile)
{
    // A track using every kind of event, with lengths of one and two bytes.
    Bytes body;
    AddMeta(body, 0x03, "Everything");
    AddMeta(body, 0x51, "\x07\xA1\x20");
    body.insert(body.end(), { 0x00, 0xC0, 5, 0x00, 0xB0, 7, 100, 0x81, 0x00, 0x90, 60, 100, 0x30, 62, 90 });
    body.insert(body.end(), { 0x00, 0xF0, 0x81, 0x00 });
    body.insert(body.end(), 128, 0x11);
    body.insert(body.end(), { 0x10, 0xE0, 0x00, 0x40, 0x00, 0xF8, 0x00, 0xFF, 0x2F, 0x00 });
    const std::vector<BYTE> whole = Smf(1, 480, { body, { 0x00, 0x90, 1, 2 } });
    LoadedSong full(whole);
    ASSERT_EQ(full.failure, nullptr);
    const std::vector<std::string> all = full.Lines();
    ASSERT_EQ(all.size(), 12u);

    for (size_t n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        LoadedSong cut(std::vector<BYTE>(whole.begin(), whole.begin() + n));
        const std::vector<std::string> some = cut.Lines();
        ASSERT_LE(some.size(), all.size());
        EXPECT_TRUE(std::equal(some.begin(), some.end(), all.begin()));
        // Short of the header nothing loads; short of a track header, or once
        // an event of the first track is cut off, the second track is missing.
        // Cutting the last track's only event loses just that event.
        if (n >= whole.size() - 4) {
            EXPECT_EQ(cut.failure, nullptr);
            EXPECT_EQ(some.size(), all.size() - 1);
        } else {
            EXPECT_STREQ(cut.failure, n < 14 ? CMidiFileReader::kNoHeader : CMidiFileReader::kNoTrack);
        }
    }
}
