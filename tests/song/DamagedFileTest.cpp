#include "app/CSongFile.h"
#include "app/CTabrinoDlg.h"
#include "platform/core/CMessageBoxRecorder.h"
#include "song/CMidiFileReader.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Expected {
    const char* file;
    const wchar_t* message; // null: none
    bool song;
    std::vector<int> events; // per track
};

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

CString DataFile(const std::string& name)
{
    return CString::FromUtf8(std::string(TEST_DATA_DIR) + "/midi/" + name);
}

}

TEST(DamagedFiles, EachLoadsWithItsExpectedOutcome)
{
    const Expected cases[] = {
        { "truncated-header.mid", CMidiFileReader::kNoHeader, false, {} },
        { "truncated-event.mid", nullptr, true, { 1 } },
        { "truncated-track-header.mid", CMidiFileReader::kNoTrack, true, { 3 } },
        { "huge-chunk-length.mid", CMidiFileReader::kNoTrack, true, { 3 } },
        { "sysex-length-past-end.mid", nullptr, true, { 2 } },
        { "meta-length-past-end.mid", nullptr, true, { 2 } },
        { "vlq-5-byte.mid", nullptr, true, { 3 } },
        { "data-byte-without-running-status.mid", CMidiFileReader::kNoStatus, true, { 3, 0 } },
        { "zero-tracks.mid", nullptr, true, {} },
        { "fewer-tracks-than-declared.mid", CMidiFileReader::kNoTrack, true, { 3, 3 } },
        { "division-zero.mid", nullptr, true, { 3 } },
        { "tempo-zero.mid", nullptr, true, { 5, 4 } },
        { "short-meta-payloads.mid", nullptr, true, { 8 } },
        { "riff-rmid.mid", CMidiFileReader::kNoHeader, false, {} },
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.file);
        CSongFile file;
        EXPECT_EQ(file.Load(DataFile(c.file)), c.message == nullptr);
        EXPECT_EQ(file.Failure(), c.message ? c.message : L"");
        EXPECT_EQ(file.m_pSongs != nullptr, c.song);
        EXPECT_EQ(EventCounts(file.m_pTracks), c.events);
    }
}

TEST(ReadFile, AFailedLoadKeepsTheSongAndItsStateAndNamesTheFileAndTheReason)
{
    CMessageBoxRecorder recorder;
    CTabrinoDlg dialog;
    ASSERT_TRUE(dialog.ReadFile(DataFile("tempo-zero.mid")));
    CSong* song = dialog.m_pSongs;
    CTrack* tracks = dialog.m_pTracks;
    dialog.m_playerState.m_currentTick = 77;

    const std::string tooLarge = std::string(TEST_BINARY_DIR) + "/song-too-large.mid";
    { std::ofstream(tooLarge, std::ios::binary) << "MThd"; }
    std::filesystem::resize_file(tooLarge, CSongFile::kMaxFileSize + 1);
    struct Case {
        CString path;
        std::wstring reason;
    };
    const Case cases[] = {
        { DataFile("no-such-file.mid"), L"Cannot open the file: No such file or directory" },
        { DataFile(""), L"Cannot open the file: Is a directory" },
        { L"/dev/null", L"Cannot open the file: Not a regular file" },
        { DataFile("riff-rmid.mid"), CMidiFileReader::kNoHeader },
        { DataFile("data-byte-without-running-status.mid"), CMidiFileReader::kNoStatus },
        { CString::FromUtf8(tooLarge), CSongFile::kTooLarge },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.ToUtf8());
        EXPECT_FALSE(dialog.ReadFile(c.path));
        auto entries = recorder.Entries();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].text, c.reason + L"\n" + c.path.Str());
        EXPECT_EQ(entries[0].caption, L"");
        EXPECT_EQ(entries[0].owner, nullptr);
        EXPECT_EQ(entries[0].type, MB_OK);
        recorder.Clear();
        EXPECT_EQ(dialog.m_pSongs, song);
        EXPECT_EQ(dialog.m_pTracks, tracks);
        EXPECT_EQ(dialog.m_playerState.m_usPerQuarter.load(), 500000);
        EXPECT_EQ(dialog.m_playerState.m_currentTick.load(), 77);
    }
    std::remove(tooLarge.c_str());
}

TEST(ReadFile, LoadsTheFileAfterAnotherAndResetsTheState)
{
    CMessageBoxRecorder recorder;
    CTabrinoDlg dialog;
    ASSERT_TRUE(dialog.ReadFile(DataFile("tempo-zero.mid")));
    dialog.m_playerState.m_transpose = 3;
    // A name that is not UTF-8 reaches its file by its bytes.
    const std::string strange = std::string(TEST_BINARY_DIR) + "/Lied \xe4\xff.mid";
    std::filesystem::copy_file(std::string(TEST_DATA_DIR) + "/midi/division-zero.mid", strange,
        std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(dialog.ReadFile(CString::FromUtf8(strange)));
    std::remove(strange.c_str());
    EXPECT_TRUE(recorder.Entries().empty());
    EXPECT_EQ(EventCounts(dialog.m_pTracks), std::vector<int> { 3 });
    EXPECT_EQ(dialog.m_pSongs->m_next, dialog.m_pSongs);
    // Nothing of the first file stays where the second has no value.
    EXPECT_EQ(dialog.m_playerState.m_usPerQuarter.load(), 666666);
    EXPECT_EQ(dialog.m_playerState.m_ppqn.load(), 384);
    EXPECT_EQ(dialog.m_playerState.m_transpose.load(), 0);
}
