#include "app/CSongFile.h"
#include "song/CMidiFileReader.h"
#include "song/CRing.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<int> EventCounts(const CTrack* tracks)
{
    std::vector<int> counts;
    CRing::ForEach(tracks, [&counts](const CTrack* t) {
        int n = 0;
        CRing::ForEach(t->m_firstEvent, [&n](const CMidiEvent*) { ++n; });
        counts.push_back(n);
    });
    return counts;
}

}

TEST(DamagedFiles, EachLoadsWithItsExpectedOutcome)
{
    const std::string tooLarge = std::string(TEST_BINARY_DIR) + "/song-too-large.mid";
    { std::ofstream(tooLarge, std::ios::binary) << "MThd"; }
    std::filesystem::resize_file(tooLarge, CSongFile::kMaxFileSize + 1);
    struct Expected {
        std::string file;
        std::wstring message; // empty: none
        bool song;
        std::vector<int> events; // per track
    };
    const Expected cases[] = {
        { "truncated-header.mid", CMidiFileReader::kNoHeader, false, {} },
        { "truncated-event.mid", L"", true, { 1 } },
        { "truncated-track-header.mid", CMidiFileReader::kNoTrack, true, { 3 } },
        { "huge-chunk-length.mid", CMidiFileReader::kNoTrack, true, { 3 } },
        { "sysex-length-past-end.mid", L"", true, { 2 } },
        { "meta-length-past-end.mid", L"", true, { 2 } },
        { "vlq-5-byte.mid", L"", true, { 3 } },
        { "data-byte-without-running-status.mid", CMidiFileReader::kNoStatus, true, { 3, 0 } },
        { "zero-tracks.mid", L"", true, {} },
        { "fewer-tracks-than-declared.mid", CMidiFileReader::kNoTrack, true, { 3, 3 } },
        { "division-zero.mid", L"", true, { 3 } },
        { "tempo-zero.mid", L"", true, { 5, 4 } },
        { "short-meta-payloads.mid", L"", true, { 8 } },
        { "riff-rmid.mid", CMidiFileReader::kNoHeader, false, {} },
        { "no-such-file.mid", L"Cannot open the file: No such file or directory", false, {} },
        { "", L"Cannot open the file: Is a directory", false, {} },
        { "/dev/null", L"Cannot open the file: Not a regular file", false, {} },
        { tooLarge, CSongFile::kTooLarge, false, {} },
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.file);
        CSongFile file;
        const std::string path = c.file[0] == '/' ? c.file : std::string(TEST_DATA_DIR) + "/midi/" + c.file;
        EXPECT_EQ(file.Load(CString::FromUtf8(path)), c.message.empty());
        EXPECT_EQ(file.Failure(), c.message.c_str());
        EXPECT_EQ(file.m_pSongs != nullptr, c.song);
        EXPECT_EQ(EventCounts(file.m_pTracks), c.events);
    }
    std::remove(tooLarge.c_str());
}
