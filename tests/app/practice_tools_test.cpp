#include "tests/player/PlayerTestSupport.h"

#include "tests/TempConfigHome.h"

#include "app/CFaceCommands.h"
#include "app/CPracticeDlg.h"
#include "app/CPracticeTools.h"
#include "app/CTrainerDlg.h"
#include "app/FaceCommands.h"
#include "player/CDrivenPlayer.h"
#include "player/CTransport.h"
#include "tests/support/CDialogScript.h"
#include "tests/support/CMessageBoxRecorder.h"

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

// The practice dialogs as the user fills them in. The trainer's opens on the
// loop's bars, refuses a target below its start and a loop that ends before
// it begins, and its bars become the loop. The metronome's refuses a volume
// below 5 % and sets the click and the count-in. Cancel changes nothing.
TEST(PracticeTools, TheDialogsShowTheSettingsAndSetWhatIsTyped)
{
    CMessageBoxRecorder boxes;
    CapturedDialog d;
    CTrack* track = d.AddTrack();
    AddAt(track, 0, 0x90, 60, 100);
    AddAt(track, 1920 * 8, 0x80, 60, 0);
    d.TickPerMs();
    CTransport(d.state, nullptr, FALSE).AdoptSong(d.dialog.m_pTracks);
    CPractice& practice = d.dialog.m_practice;
    practice.SetLoop(1920 * 2, 1920 * 4);
    CPracticeTools& tools = *d.dialog.m_pPracticeTools;
    auto type = [](int id, const wchar_t* text) { return [=](CDialog& dialog) { dialog.SetDlgItemText(id, text); }; };
    {
        CDialogScript script({
            [](CDialog& dialog) {
                dialog.CheckDlgButton(CTrainerDlg::IDC_ON, BST_CHECKED);
                dialog.SetDlgItemText(CTrainerDlg::IDC_FROM, L"80");
                dialog.SetDlgItemText(CTrainerDlg::IDC_TO, L"70");
            },
            [](CDialog& dialog) {
                dialog.SetDlgItemText(CTrainerDlg::IDC_TO, L"95");
                dialog.SetDlgItemText(CTrainerDlg::IDC_FROM_BAR, L"6");
            },
            type(CTrainerDlg::IDC_FROM_BAR, L"2"),
        });
        EXPECT_TRUE(tools.Run(ID_TRAINER_DIALOG));
        ASSERT_EQ(script.Dialogs().size(), 1u);
        const std::map<int, CString>& shown = script.Dialogs()[0].texts;
        EXPECT_EQ(std::make_pair(shown.at(CTrainerDlg::IDC_FROM_BAR), shown.at(CTrainerDlg::IDC_TO_BAR)),
            std::make_pair(CString(L"3"), CString(L"5")));
        EXPECT_EQ(script.StepsLeft(), 0u);
        EXPECT_EQ(boxes.Entries().size(), 2u);
    }
    EXPECT_EQ(tools.Trainer(), (CSpeedTrainerSettings { true, 80, 95, 5, 2 }));
    EXPECT_EQ(std::make_pair(practice.LoopStart(), practice.LoopEnd()), std::make_pair(LONGLONG { 1920 }, LONGLONG { 1920 * 4 }));
    {
        CDialogScript script({
            [](CDialog& dialog) {
                dialog.SendDlgItemMessage(CPracticeDlg::IDC_SOUND, CB_SETCURSEL, CMetronomeSettings::COWBELL);
                dialog.SendDlgItemMessage(CPracticeDlg::IDC_COUNT_IN, CB_SETCURSEL, 2);
                dialog.CheckDlgButton(CPracticeDlg::IDC_EACH_PASS, BST_CHECKED);
                dialog.SetDlgItemText(CPracticeDlg::IDC_VOLUME, L"3");
            },
            type(CPracticeDlg::IDC_VOLUME, L"60"),
        });
        EXPECT_TRUE(tools.Run(ID_PRACTICE_DIALOG));
        ASSERT_EQ(script.Dialogs().size(), 1u);
        EXPECT_EQ(script.Dialogs()[0].texts.at(CPracticeDlg::IDC_VOLUME), L"100");
        EXPECT_EQ(script.Dialogs()[0].selections.at(CPracticeDlg::IDC_COUNT_IN), 0);
        EXPECT_EQ(boxes.Entries().size(), 3u);
    }
    EXPECT_EQ(tools.Metronome(), (CMetronomeSettings { 60, CMetronomeSettings::COWBELL, false }));
    EXPECT_EQ(tools.CountIn(), (CCountInSettings { 2, true }));
    EXPECT_EQ(d.dialog.m_metronome.m_accentKey, 56);
    {
        CDialogScript script({});
        EXPECT_TRUE(tools.Run(ID_TRAINER_DIALOG));
        EXPECT_TRUE(tools.Run(ID_PRACTICE_DIALOG));
        EXPECT_EQ(script.Dialogs().size(), 2u);
    }
    EXPECT_EQ(tools.Trainer(), (CSpeedTrainerSettings { true, 80, 95, 5, 2 }));
    EXPECT_EQ(tools.CountIn(), (CCountInSettings { 2, true }));
}
