#include "app/CTabrinoDlg.h"
#include "platform/core/CMessageBoxRecorder.h"
#include "song/CMidiFileReader.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CTrack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Expected {
    const char* file;
    const wchar_t* message; // null: none
    bool song;
    std::vector<int> events; // per track
};

std::vector<int> EventCounts(const CTabrinoDlg& dialog)
{
    std::vector<int> counts;
    CRing::ForEach(dialog.m_pTracks, [&counts](const CTrack* t) {
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
        CMessageBoxRecorder recorder;
        CTabrinoDlg dialog;
        dialog.ReadFile(DataFile(c.file));
        auto entries = recorder.Entries();
        if (c.message) {
            ASSERT_EQ(entries.size(), 1u);
            EXPECT_EQ(entries[0].text, c.message);
            EXPECT_EQ(entries[0].caption, L"");
            EXPECT_EQ(entries[0].owner, nullptr);
            EXPECT_EQ(entries[0].type, MB_OK);
        } else {
            EXPECT_TRUE(entries.empty());
        }
        EXPECT_EQ(dialog.m_pSongs != nullptr, c.song);
        EXPECT_EQ(EventCounts(dialog), c.events);
    }
}

TEST(DamagedFiles, FiveByteDeltaKeepsItsLow32Bits)
{
    CMessageBoxRecorder recorder;
    CTabrinoDlg dialog;
    dialog.ReadFile(DataFile("vlq-5-byte.mid"));
    ASSERT_NE(dialog.m_pTracks, nullptr);
    EXPECT_EQ(dialog.m_pTracks->m_firstEvent->m_tick, 1);
}

TEST(ReadFile, UnreadableFileKeepsThePreviousSongAndBadFileClearsIt)
{
    CMessageBoxRecorder recorder;
    CTabrinoDlg dialog;
    dialog.ReadFile(DataFile("fewer-tracks-than-declared.mid"));
    CTrack* before = dialog.m_pTracks;
    recorder.Clear();

    for (const char* path : { "no-such-file.mid", "" }) {
        dialog.ReadFile(DataFile(path));
        ASSERT_EQ(recorder.Entries().size(), 1u);
        EXPECT_EQ(recorder.Entries()[0].text, L"CTabrinoDlg::ReadFile() -> cannot open file");
        EXPECT_EQ(dialog.m_pTracks, before);
        recorder.Clear();
    }

    dialog.ReadFile(DataFile("riff-rmid.mid"));
    EXPECT_EQ(dialog.m_pSongs, nullptr);
    EXPECT_EQ(dialog.m_pTracks, nullptr);
}

TEST(ReadFile, LoadsTheFileAfterAnotherAndWritesTheState)
{
    CMessageBoxRecorder recorder;
    CTabrinoDlg dialog;
    dialog.ReadFile(DataFile("tempo-zero.mid"));
    dialog.ReadFile(DataFile("division-zero.mid"));
    EXPECT_TRUE(recorder.Entries().empty());
    EXPECT_EQ(EventCounts(dialog), std::vector<int> { 3 });
    EXPECT_EQ(dialog.m_pSongs->m_next, dialog.m_pSongs);
    // The open command resets the state before each load; without that, the
    // first file's tempo and division stay where the second has none.
    EXPECT_EQ(dialog.m_playerState.m_usPerQuarter.load(), 500000);
    EXPECT_EQ(dialog.m_playerState.m_ppqn.load(), 480);
}
