#include "tests/player/PlayerTestSupport.h"

#include "tests/TempConfigHome.h"

#include "app/CFaceCommands.h"
#include "app/CPracticeTools.h"
#include "app/FaceCommands.h"
#include "player/CDrivenPlayer.h"
#include "player/CTransport.h"

namespace {

// 480 ticks a quarter in 4/4: markers "Intro" at 0, "Verse" inside the
// second beat (tick 1000) and a cue point "Coda" at bar 2; controllers before
// and after the verse's beat starts.
void AddMarkedSong(CapturedDialog& d)
{
    CTrack* track = d.AddTrack();
    AddAt(track, 0, 0xFF, 0, 0, 0x06, { 'I', 'n', 't', 'r', 'o' });
    AddAt(track, 0, 0xB0, 7, 90);
    AddAt(track, 500, 0xB0, 10, 20);
    AddAt(track, 960, 0x90, 60, 100);
    AddAt(track, 1000, 0xFF, 0, 0, 0x06, { 'V', 'e', 'r', 's', 'e' });
    AddAt(track, 1200, 0xB0, 7, 50);
    AddAt(track, 1920, 0xFF, 0, 0, 0x07, { 'C', 'o', 'd', 'a' });
    AddAt(track, 1920, 0x90, 62, 100);
    AddAt(track, 2400, 0x80, 62, 0);
    d.TickPerMs();
}

}

// Ctrl+Right and Ctrl+Left go to the start of the beat of the next and the
// previous marker or bookmark (within a place's first beat, the one before);
// "Loop this section" loops from the place before the position to the next.
TEST(PracticeTools, MarkersAndBookmarksAreBeatAlignedPlacesToJumpAndLoopTo)
{
    CapturedDialog d;
    AddMarkedSong(d);
    CTransport transport(d.state, nullptr, FALSE);
    transport.AdoptSong(d.dialog.m_pTracks);
    CPracticeTools& tools = *d.dialog.m_pPracticeTools;
    tools.SongChanged();
    ASSERT_EQ(tools.Markers().Items().size(), 3u);
    EXPECT_EQ(tools.Markers().Items()[1].name, L"Verse");
    EXPECT_TRUE(tools.Markers().Items()[2].cue);
    struct Step { LONGLONG at; WORD command; LONGLONG to; };
    for (const Step& s : std::vector<Step> { { 0, ID_MARKER_NEXT, 960 }, { 960, ID_MARKER_NEXT, 1920 },
             { 1920, ID_MARKER_NEXT, 1920 }, { 2000, ID_MARKER_PREVIOUS, 960 }, { 1000, ID_MARKER_PREVIOUS, 0 },
             { 1500, ID_BOOKMARK_ADD, 1500 }, { 1920, ID_MARKER_PREVIOUS, 1440 } }) {
        d.state.m_currentTick = s.at;
        EXPECT_TRUE(tools.Run(s.command));
        EXPECT_EQ(d.state.m_currentTick, s.to) << s.at << " " << s.command;
    }
    ASSERT_EQ(tools.Bookmarks().Items().size(), 1u);
    EXPECT_EQ(tools.Bookmarks().Items()[0].name, "Bar 1.4");
    d.state.m_currentTick = 1500;
    EXPECT_TRUE(tools.Run(ID_LOOP_SECTION));
    EXPECT_EQ(d.dialog.m_practice.LoopStart(), 1440);
    EXPECT_EQ(d.dialog.m_practice.LoopEnd(), 1920);
    EXPECT_TRUE(tools.Run(ID_BOOKMARK_REMOVE_FIRST));
    EXPECT_TRUE(tools.Bookmarks().Items().empty());
}

// A jump to a marker is a seek: the song starts at the marker's beat with
// the controllers in force there sent first, and a note at the beat's start
// is played.
TEST(PracticeTools, AJumpToAMarkerReplaysTheControllerStateAtItsBeat)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    AddMarkedSong(d);
    CTransport transport(d.state, nullptr, FALSE);
    transport.AdoptSong(d.dialog.m_pTracks);
    d.dialog.m_pPracticeTools->SongChanged();
    d.dialog.m_output.Start();
    d.Take();
    ASSERT_TRUE(d.dialog.m_pPracticeTools->GoToNext());
    ASSERT_TRUE(transport.Play());
    d.Period();
    const Messages sent = d.Take();
    const Messages expected { ALL_OFF, VOLUMES, { 0xB0, 7, 90 }, { 0xB0, 10, 20 }, { 0x90, 60, 100 } };
    ASSERT_GE(sent.size(), expected.size());
    EXPECT_EQ(Messages(sent.end() - expected.size(), sent.end()), expected);
}

// K steps the count-in; the practice settings are saved at close, read
// back (and handed to the player) at start; a value that is not one is
// ignored.
TEST(PracticeTools, SettingsAreRememberedAndReadSafely)
{
    TempConfigHome home;
    home.Write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"Metronome\"=hex(1):76,6f,6c,75,6d,65,3d,39,39,39,00\n");
    CTabrinoDlg first, later;
    first.LoadSettings();
    CPracticeTools& tools = *first.m_pPracticeTools;
    EXPECT_EQ(tools.Metronome(), CMetronomeSettings {}) << "volume=999 is no volume";
    const int bars[] = { 1, 2, 0, 1 };
    for (const int expected : bars) {
        EXPECT_TRUE(CFaceCommands(first).Run(ID_COUNT_IN));
        EXPECT_EQ(first.m_countIn.Settings().bars, expected);
    }
    EXPECT_TRUE(tools.Run(ID_COUNT_IN_PASS));
    tools.SetMetronome(CMetronomeSettings { 40, CMetronomeSettings::CLAVES, true });
    tools.SetTrainer(CSpeedTrainerSettings { true, 60, 90, 10, 3 });
    first.SaveSettings();
    later.LoadSettings();
    EXPECT_EQ(later.m_pPracticeTools->CountIn(), (CCountInSettings { 1, true }));
    EXPECT_EQ(later.m_countIn.Settings(), (CCountInSettings { 1, true }));
    EXPECT_EQ(later.m_pPracticeTools->Metronome(), (CMetronomeSettings { 40, CMetronomeSettings::CLAVES, true }));
    EXPECT_EQ(later.m_metronome.m_accentKey, 75);
    EXPECT_EQ(later.m_trainer.Settings(), (CSpeedTrainerSettings { true, 60, 90, 10, 3 }));
}
