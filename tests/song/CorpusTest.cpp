#include "app/CTabrinoDlg.h"
#include "platform/core/CMessageBoxRecorder.h"
#include "song/CRing.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

const char* const kCorpus = "/usr/share/games/openttd/baseset/openmsx";

// Counts the events a track chunk holds, written apart from the loader so
// the two can disagree: status by status, with running status, lengths as
// variable-length quantities and "{KVT}" texts left out.
long CountChunkEvents(const unsigned char* p, const unsigned char* end)
{
    auto vlq = [&p]() {
        unsigned long v = 0;
        do
            v = (v << 7) | (*p & 0x7F);
        while (*p++ & 0x80);
        return v;
    };
    long count = 0;
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
            int hi = status >> 4;
            p += (hi == 0xC || hi == 0xD) ? 1 : 2;
        }
        count += kvt ? 0 : 1;
    }
    return count;
}

std::vector<long> CountFileEvents(const std::vector<unsigned char>& file)
{
    std::vector<long> counts;
    size_t pos = 14;
    while (pos + 8 <= file.size()) {
        size_t length = (size_t(file[pos + 4]) << 24) | (file[pos + 5] << 16) | (file[pos + 6] << 8) | file[pos + 7];
        length = std::min(length, file.size() - pos - 8);
        counts.push_back(CountChunkEvents(file.data() + pos + 8, file.data() + pos + 8 + length));
        pos += 8 + length;
    }
    return counts;
}

}

TEST(Corpus, EveryFileLoadsCompletelyWithoutMessage)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(kCorpus))
        if (entry.path().extension() == ".mid")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 30u) << "the openttd-openmsx package is missing";

    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        std::ifstream in(path, std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

        CMessageBoxRecorder recorder;
        CTabrinoDlg dialog;
        dialog.ReadFile(CString::FromUtf8(path.string()));
        EXPECT_TRUE(recorder.Entries().empty());

        std::vector<long> loaded;
        CRing::ForEach(dialog.m_pTracks, [&loaded](const CTrack* t) {
            long n = 0;
            CRing::ForEach(t->m_firstEvent, [&n](const CMidiEvent*) { ++n; });
            loaded.push_back(n);
        });
        EXPECT_EQ(loaded, CountFileEvents(bytes));
    }
}
