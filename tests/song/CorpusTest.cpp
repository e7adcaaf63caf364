#include "LoadedSong.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

const char* const kCorpus = "/usr/share/games/openttd/baseset/openmsx";

// Counts the events a track chunk holds, written apart from the loader so
// the two can disagree: status by status, with running status, lengths as
// variable-length quantities and "{KVT}" texts left out.
size_t CountChunkEvents(const unsigned char* p, const unsigned char* end)
{
    auto vlq = [&p]() {
        unsigned long v = 0;
        do
            v = (v << 7) | (*p & 0x7F);
        while (*p++ & 0x80);
        return v;
    };
    size_t count = 0;
    unsigned char running = 0;
    while (p < end) {
        vlq();
        unsigned char status = *p >= 0x80 ? *p++ : running;
        running = status;
        bool kvt = false;
        if (status == 0xFF) {
            unsigned char type = *p++;
            unsigned long n = vlq();
            kvt = type == 0x01 && n >= 5 && std::equal(p, p + 5, "{KVT}");
            p += n;
        } else if (status == 0xF0 || status == 0xF7) {
            p += vlq();
        } else if (status < 0xF0) {
            p += (status >> 4 == 0xC || status >> 4 == 0xD) ? 1 : 2;
        }
        count += kvt ? 0 : 1;
    }
    return count;
}

}

TEST(Corpus, EveryFileLoadsCompletelyWithoutMessage)
{
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
        if (entry.path().extension() != ".mid")
            continue;
        SCOPED_TRACE(entry.path().string());
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LoadedSong s(bytes);
        EXPECT_EQ(s.failure, nullptr);
        std::vector<size_t> loaded, counted;
        for (size_t t = 0; t < s.Tracks().size(); ++t)
            loaded.push_back(s.Events(t).size());
        for (size_t pos = 14; pos + 8 <= bytes.size();) {
            size_t length = (size_t(bytes[pos + 4]) << 24) | (bytes[pos + 5] << 16) | (bytes[pos + 6] << 8) | bytes[pos + 7];
            length = std::min(length, bytes.size() - pos - 8);
            counted.push_back(CountChunkEvents(bytes.data() + pos + 8, bytes.data() + pos + 8 + length));
            pos += 8 + length;
        }
        EXPECT_EQ(loaded, counted);
    }
    EXPECT_GE(files, 30u) << "the openttd-openmsx package is missing";
}
