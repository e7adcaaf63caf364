#include "PlayerDialogFixture.h"

#include "app/CDisplayRefresh.h"
#include "app/CFaceCommands.h"
#include "app/CSongViews.h"
#include "app/FaceCommands.h"
#include "app/KeyBindings.h"
#include "platform/comm/Comm.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Timer.h"
#include "player/CSoundingNote.h"
#include "skin/CSkinMeter.h"
#include "skin/CSkinSlider.h"
#include "platform/ui/WindowZoom.h"
#include "platform/ui/qt/QtBackend.h"
#include "platform/ui/qt/QtWindows.h"
#include "tests/support/CFileDialogScript.h"
#include "tests/support/CMessageBoxRecorder.h"

#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// The entry whose path of texts (before any tab) matches, as a user chooses
// it in the shown menu; 0 when there is none or it is grayed.
UINT Choose(HMENU menu, const std::vector<std::string>& path, size_t depth = 0)
{
    for (int i = 0; i < GetMenuItemCount(menu) && depth < path.size(); ++i) {
        const std::string text = GetMenuText(menu, i).ToUtf8();
        if (text.substr(0, text.find('\t')) != path[depth] || (GetMenuState(menu, i) & MF_GRAYED))
            continue;
        if (HMENU sub = GetSubMenu(menu, i))
            return Choose(sub, path, depth + 1);
        return depth + 1 == path.size() ? GetMenuItemID(menu, i) : 0;
    }
    return 0;
}

// Replaces the edit's text as a user does, then presses the button named.
void Answer(QWidget* window, const char* text, const char* button)
{
    QLineEdit* edit = window->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromLatin1(text));
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text() == QLatin1String(button))
            QTest::mouseClick(b, Qt::LeftButton);
    }
}

}

using FaceCommands = PlayerDialog;

// Every key and menu entry through the window's messages, with the state it
// must leave. A row with a key and a menu path runs twice.
TEST_F(FaceCommands, KeysAndMenuEntriesReachTheTransportAndThePracticeTools)
{
    const std::string song = WriteSong("face-keys.mid", 96, 500000, 96 * 4 * 8);
    const std::string other = WriteSong("face-other.mid", 96, 500000, 96 * 4);
    CPractice& p = dialog.m_practice;
    CMessageBoxRecorder boxes;
    CFileDialogScript files(L"");
    size_t requests = 0;
    struct Case {
        const char* name;
        UINT key, modifiers;
        std::vector<std::string> menu;
        std::function<void()> setup;
        std::function<bool()> check;
        bool repeated = false;
    };
    // Each row starts stopped at bar 3, beat 2 of a 4/4 song (96 ticks a beat)
    // just opened, which drops the loop a row before left.
    const std::vector<Case> cases {
        { "home", VK_HOME, 0, {}, nullptr, [&] { return state.m_currentTick == 0; } },
        // A bar away keeps the beat.
        { "bar back", VK_LEFT, 0, {}, nullptr, [&] { return state.m_currentTick == 384 + 96; } },
        { "bar forward", VK_RIGHT, 0, {}, nullptr, [&] { return state.m_currentTick == 1152 + 96; } },
        { "beat back", VK_LEFT, KEY_SHIFT, {}, nullptr, [&] { return state.m_currentTick == 768; } },
        { "beat forward", VK_RIGHT, KEY_SHIFT, {}, nullptr, [&] { return state.m_currentTick == 960; } },
        { "tempo up, held", VK_UP, 0, {}, nullptr, [&] { return state.m_bpm == 121; }, true },
        { "tempo +10", VK_PRIOR, 0, {}, nullptr, [&] { return state.m_bpm == 130; } },
        { "tempo -10", VK_NEXT, 0, {}, nullptr, [&] { return state.m_bpm == 110; } },
        { "transpose up", VK_OEM_PLUS, KEY_SHIFT, {}, nullptr, [&] { return state.m_transpose == 1; } },
        { "transpose to 0", '0', 0, {}, [&] { dialog.SetTranspose(5); }, [&] { return state.m_transpose == 0; } },
        { "set B", VK_OEM_6, 0, { "Loop", "Set B" }, [&] { p.SetLoopStart(96); },
            [&] { return p.LoopStart() == 96 && p.LoopEnd() == 864 && p.LoopOn(); } },
        { "loop on", 'L', 0, { "Loop", "Loop on" }, [&] { p.SetLoop(0, 384), p.SetLoopOn(FALSE); }, [&] { return p.LoopOn(); } },
        { "loop off", 'L', 0, { "Loop", "Loop on" }, [&] { p.SetLoop(0, 384); }, [&] { return p.HasLoop() && !p.LoopOn(); } },
        { "set A", VK_OEM_4, 0, { "Loop", "Set A" }, nullptr, [&] { return p.LoopStart() == 864 && p.LoopEnd() < 0; } },
        { "clear loop", VK_BACK, 0, { "Loop", "Clear" }, [&] { p.SetLoop(0, 384); }, [&] { return !p.HasLoop() && !p.LoopOn(); } },
        { "metronome", 'M', 0, { "Metronome" }, nullptr, [&] { return p.MetronomeOn(); } },
        // A held key flips no switch.
        { "metronome, held", 'M', 0, {}, nullptr, [&] { return !p.MetronomeOn(); }, true },
        { "mute 1", '1', 0, { "Mute", "Channel 1" }, nullptr, [&] { return p.IsMuted(0) && !p.IsMuted(9); } },
        { "mute 10", '1', KEY_SHIFT, { "Mute", "Channel 10" }, nullptr, [&] { return p.IsMuted(9) && !p.IsMuted(0); } },
        { "unmute", '2', 0, { "Mute", "Channel 2" }, [&] { p.SetMuted(1, TRUE); }, [&] { return !p.AnyMuted(); } },
        { "solo", 0, 0, { "Solo", "Channel 3" }, nullptr, [&] { return p.SoloChannel() == 2 && p.IsMuted(0) && !p.IsMuted(2); } },
        { "unmute all", 0, 0, { "Unmute all" }, [&] { p.SetMuted(4, TRUE); }, [&] { return !p.AnyMuted(); } },
        { "open", 'O', KEY_CONTROL, { "Open..." }, nullptr, [&] { return files.Requests().size() == requests + 1; } },
        { "recent file", 0, 0, { "Recent files", "2 face-other.mid" }, [&] { Open(other), Open(song); },
            [&] { return Loaded(), dialog.GetWindowText().ToUtf8() == "TabrinoCE - face-other.mid"; } },
        { "playlist window", 'L', KEY_CONTROL, { "Playlist", "Playlist window" },
            [&] { dialog.m_playlistWindow.Close(); }, [&] { return dialog.m_playlistWindow.IsOpen(); } },
        { "shuffle", 0, 0, { "Playlist", "Shuffle" }, [&] { dialog.m_playlist.SetShuffle(FALSE); },
            [&] { return dialog.m_playlist.m_list.Shuffle(); } },
        { "zoom", 0, 0, { "Zoom", "3" }, nullptr, [&] { return dialog.m_nZoom == 3; } },
        { "lyrics", 'Y', 0, { "Lyrics" }, [&] { dialog.m_pViews->m_lyrics.Close(); },
            [&] { return dialog.m_pViews->IsOpen(ID_LYRICS_WINDOW) && !dialog.m_pViews->IsOpen(ID_KEYBOARD_WINDOW); } },
        { "keyboard", 'P', 0, { "Keyboard" }, [&] { dialog.m_pViews->m_keyboard.Close(); },
            [&] { return dialog.m_pViews->IsOpen(ID_KEYBOARD_WINDOW); } },
        { "help", VK_F1, 0, { "Keyboard help" }, nullptr,
            [&] { return boxes.Entries().size() == 1 && boxes.Entries()[0].text.ToUtf8().find("Space\tPlay / stop\n") == 0; } },
        { "quit", 'Q', KEY_CONTROL, { "Quit" }, nullptr, [&] {
             const auto posted = Drain();
             return std::any_of(posted.begin(), posted.end(), [](const MSG& m) { return LOWORD(m.wParam) == IDCANCEL; });
         } },
        { "play", VK_SPACE, 0, {}, nullptr, [&] { return state.m_playState != STATE_STOPPED; } },
        { "stop", VK_SPACE, 0, {}, [&] { dialog.OnButtonPlay(); }, [&] { return state.WaitStopped(5000) == TRUE; } },
    };
    for (const Case& c : cases) {
        for (int route = 0; route < 2; ++route) {
            if ((route == 0 && c.key == 0) || (route == 1 && c.menu.empty()))
                continue;
            if (state.m_playState != STATE_STOPPED) {
                dialog.OnButtonStop();
                Stopped();
            }
            // Each case starts from the song as its file gives it.
            Open(song);
            dialog.ForgetSong();
            p.SetMetronome(FALSE);
            state.m_currentTick = 2 * 384 + 96 + 5;
            if (c.setup)
                c.setup();
            Drain();
            boxes.Clear();
            requests = files.Requests().size();
            if (route == 0) {
                SetKeyboardModifiers(c.modifiers & KEY_SHIFT, c.modifiers & KEY_CONTROL);
                SendMessageW(Hwnd(), WM_KEYDOWN, c.key, c.repeated ? KF_REPEAT_BIT : 0);
                SetKeyboardModifiers(false, false);
            } else {
                UINT chosen = 0;
                PopupMenuRunner previous = SetPopupMenuRunner([&](HMENU menu, int, int, HWND) { return chosen = Choose(menu, c.menu); });
                SendMessageW(Hwnd(), WM_CONTEXTMENU, 0, MAKELPARAM(50, 50));
                SetPopupMenuRunner(std::move(previous));
                EXPECT_NE(chosen, 0u) << c.name;
            }
            EXPECT_TRUE(c.check()) << c.name << (route ? " (menu)" : " (key)");
        }
    }
    // Each channel's entry names its own key.
    HMENU menu = CFaceCommands(dialog).BuildMenu();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuText(menu, i).ToUtf8() != "Mute")
            continue;
        HMENU mute = GetSubMenu(menu, i);
        for (auto [index, text] : { std::pair { 0, "Channel 1\t1" }, std::pair { 9, "Channel 10\tShift+1" },
                 std::pair { 15, "Channel 16\tShift+7" } })
            EXPECT_EQ(GetMenuText(mute, index).ToUtf8(), text);
    }
    DestroyMenu(menu);
}

// The stylus and the wheel through the window procedure, as the window
// backend delivers them, with what the controls post handled in turn.
TEST_F(FaceCommands, StylusAndWheelOnTheFace)
{
    Open(WriteSong("face-pointer.mid", 384, 500000, 384 * 26));
    auto send = [&](UINT message, WPARAM wParam, int x, int y) {
        SendMessageW(Hwnd(), message, wParam, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
        DispatchPostedMessages(Hwnd());
    };
    auto tap = [&](WPARAM keys, POINT p) {
        send(WM_LBUTTONDOWN, MK_LBUTTON | keys, p.x, p.y);
        send(WM_LBUTTONUP, 0, p.x, p.y);
    };
    // A meter bar mutes its channel and is drawn dimmed; with Ctrl it solos.
    // The gap right of a bar's cells still belongs to that bar.
    const RECT bar2 = dialog.m_pMeter->CellRect(2, 5);
    tap(0, { bar2.left, bar2.top });
    EXPECT_TRUE(dialog.m_practice.IsMuted(2));
    EXPECT_EQ(dialog.m_pMeter->m_muted[2], TRUE);
    tap(MK_CONTROL, { bar2.right, bar2.top });
    EXPECT_EQ(dialog.m_practice.SoloChannel(), 2);
    EXPECT_EQ(dialog.m_pMeter->m_muted[2], FALSE);
    EXPECT_EQ(dialog.m_pMeter->m_muted[3], TRUE);

    // The wheel steps the box it is over by whole notches.
    for (auto [delta, x, y, bpm, transpose] : { std::tuple { 120, 180, 160, 121, 0 }, std::tuple { -240, 180, 240, 121, -2 },
             std::tuple { 60, 180, 160, 121, -2 }, std::tuple { 60, 180, 160, 122, -2 }, std::tuple { 120, 60, 30, 122, -2 } }) {
        send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), x, y);
        EXPECT_EQ(state.m_bpm, bpm) << delta << " at " << x << "," << y;
        EXPECT_EQ(state.m_transpose, transpose) << delta << " at " << x << "," << y;
    }

    // The volume follows its thumb while dragged; the position thumb seeks
    // only when let go, to the start of a beat, and no refresh moves it
    // while it is held.
    for (CSkinSlider* slider : { dialog.m_pVolumeSlider, dialog.m_pPositionSlider }) {
        const RECT thumb = slider->ThumbRect();
        const POINT from { (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2 };
        const POINT to = slider == dialog.m_pVolumeSlider ? POINT { from.x, 55 } : POINT { 64, from.y };
        send(WM_LBUTTONDOWN, MK_LBUTTON, from.x, from.y);
        send(WM_MOUSEMOVE, MK_LBUTTON, to.x, to.y);
        const int held = slider->m_nValue;
        Refresh();
        EXPECT_EQ(slider->m_nValue, held);
        if (slider == dialog.m_pVolumeSlider) {
            EXPECT_EQ(dialog.m_output.m_volume, held);
        }
        EXPECT_EQ(state.m_currentTick, 0);
        send(WM_LBUTTONUP, 0, to.x, to.y);
    }
    EXPECT_LT(dialog.m_output.m_volume, 1000);
    EXPECT_GT(state.m_currentTick, 0);
    EXPECT_EQ(state.m_currentTick % 384, 0);
}

TEST_F(FaceCommands, TheRefreshesFeedEveryChannelsLevelToTheMeterAndShowTheDisplayOnceDue)
{
    // The last meter refresh ran 8 ms before the 32-bit tick count wrapped:
    // the next one is due 16 ms later, across the wrap.
    clock.Set(0xFFFFFFF8u);
    dialog.OnUpdateMeters();
    state.m_channels[3].AddNote(60, 127);
    state.m_channels[15].AddNote(64, 64);
    clock.Set(7);
    dialog.OnUpdateMeters();
    EXPECT_EQ(dialog.m_pMeter->m_levels[3], -10000) << "not yet due";
    clock.Set(8);
    dialog.OnUpdateMeters();
    EXPECT_EQ(dialog.m_pMeter->m_levels[3], 0);
    EXPECT_EQ(dialog.m_pMeter->m_levels[15], CChannelLevel::LevelOf(64));
    // Taking the level ages the sounding notes, only in a refresh that ran.
    EXPECT_EQ(state.m_channels[3].m_notes->m_value, 126);

    // A display refresh that comes too soon is left for the player thread.
    Refresh();
    state.m_currentTick = 384;
    clock.Advance(15);
    dialog.OnUpdateDisplay();
    EXPECT_EQ(Text(dialog.m_pPositionBeat), "1.1.000");
    EXPECT_TRUE(dialog.m_bDisplayPending);
    clock.Advance(1);
    dialog.OnUpdateDisplay();
    EXPECT_EQ(Text(dialog.m_pPositionBeat), "1.2.000");
    EXPECT_FALSE(dialog.m_bDisplayPending);
}

// While the song plays the window times its refreshes itself; each shows
// the position the clock has reached. Once the song stopped and the meters
// fell, the timer stops and the player thread posts the first refresh of
// the next play.
TEST_F(FaceCommands, WhileSomethingMovesTheWindowTimesItsOwnRefreshes)
{
    PlayLongSong("paced.mid");
    dialog.OnUpdateMeters();
    EXPECT_TRUE(dialog.m_bRefreshTimer);
    clock.Advance(1000);
    Drain();
    EXPECT_EQ(PostDueTimers(Hwnd()), 16u);
    const std::vector<MSG> due = Drain();
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(std::make_pair(due[0].message, due[0].wParam), std::make_pair(UINT(WM_TIMER), WPARAM(CDisplayRefresh::TIMER_ID)));
    SendMessageW(Hwnd(), WM_TIMER, CDisplayRefresh::TIMER_ID, 0);
    EXPECT_EQ(Text(dialog.m_pPositionBeat), "1.3.000") << "half a second a quarter, one second on";

    Command(1002);
    Stopped();
    // The peak marker falls 100 every third refresh: 300 refreshes.
    for (int i = 0; i < 400 && dialog.m_bRefreshTimer; ++i) {
        clock.Advance(17);
        SendMessageW(Hwnd(), WM_TIMER, CDisplayRefresh::TIMER_ID, 0);
    }
    EXPECT_FALSE(dialog.m_bRefreshTimer);
    EXPECT_FALSE(dialog.m_bMetersMoving);
    EXPECT_EQ(PostDueTimers(Hwnd()), INFINITE);
}

// The settings button shows the drum channel as the user counts it, the
// ports that need no file name with the current one, the installed
// SoundFonts, the reset and the SysEx switch; Ok takes what was chosen,
// Cancel does not, and the close saves it. A SoundFont that does not load
// is told and the one in use stays. The dialog runs modally on
// the Qt window backend, installed for this test.
TEST_F(FaceCommands, TheSettingsButtonChangesTheSettingsOnlyOnOk)
{
    InstallQtBackend();
    CMessageBoxRecorder boxes;
    CFileDialogScript files(Wide(capture));
    const std::string copy = config.Dir() + "/copy.sf2";
    std::filesystem::copy_file("/usr/share/sounds/sf2/TimGM6mb.sf2", copy);
    const CString before = GetSynthSoundFont();
    auto browse = [](QWidget* w) {
        for (auto* button : w->findChildren<QPushButton*>()) {
            if (button->text() == "Browse...")
                button->click();
        }
    };
    std::vector<std::string> shown;
    bool keptOpen = false;
    // The dialog runs its own modal loop inside the command, so the answer is
    // queued before the command is sent.
    auto settings = [&](std::function<void(QWidget*)> answer) {
        QTimer::singleShot(0, [&shown, answer] {
            if (QWidget* w = TopDialogWindow()) {
                auto* ports = w->findChild<QComboBox*>();
                auto* soundFonts = w->findChildren<QComboBox*>().value(1);
                shown.push_back(w->findChild<QLineEdit*>()->text().toStdString() + " " + ports->currentText().toStdString()
                    + (ports->findText("capture:FILE", Qt::MatchStartsWith) < 0 ? "" : " and capture:FILE") + " "
                    + soundFonts->currentText().toStdString()
                    + (soundFonts->findText("TimGM6mb.sf2") < 0 ? "" : " and TimGM6mb.sf2"));
                answer(w);
            }
        });
        Command(1019);
    };
    // Text that is not a byte is told once and leaves the dialog open with
    // the text; blanks around a number are accepted.
    settings([&](QWidget* w) {
        auto* ports = w->findChild<QComboBox*>();
        ports->setCurrentIndex(ports->findText("none", Qt::MatchStartsWith));
        auto combos = w->findChildren<QComboBox*>();
        ASSERT_EQ(combos.size(), 3);
        combos[2]->setCurrentIndex(combos[2]->findText("GS"));
        browse(w);
        ASSERT_TRUE(w->findChild<QCheckBox*>()->isChecked()) << "sent by default";
        w->findChild<QCheckBox*>()->click();
        // The pause between the playlist's songs, in seconds.
        auto edits = w->findChildren<QLineEdit*>();
        ASSERT_EQ(edits.size(), 2);
        ASSERT_EQ(edits[1]->text(), QStringLiteral("2"));
        edits[1]->setText(QStringLiteral("5"));
        Answer(w, "256", "Ok");
        keptOpen = TopDialogWindow() == w && boxes.Entries().size() == 1
            && w->findChild<QLineEdit*>()->text() == QStringLiteral("256");
        Answer(w, " 3 ", "Ok");
    });
    EXPECT_EQ(state.m_drumChannel, 2);
    EXPECT_EQ(dialog.m_playlist.m_gap, 5000u);
    settings([](QWidget* w) { Answer(w, "7", "Abbruch"); });
    files.SetAnswer(Wide(copy));
    settings([&](QWidget* w) {
        browse(w);
        Answer(w, "3", "Ok");
    });
    UninstallQtBackend();
    SetWindowZoom(0);
    const std::string file = capture.substr(capture.rfind('/') + 1);
    EXPECT_EQ(shown, (std::vector<std::string> { "10 capture:" + capture + " " + before.Mid(before.ReverseFind(L'/') + 1).ToUtf8() + " and TimGM6mb.sf2",
                         "3 none  nothing is sent " + before.Mid(before.ReverseFind(L'/') + 1).ToUtf8() + " and TimGM6mb.sf2",
                         "3 none  nothing is sent " + before.Mid(before.ReverseFind(L'/') + 1).ToUtf8() + " and TimGM6mb.sf2" }));
    ASSERT_EQ(boxes.Entries().size(), 2u);
    EXPECT_EQ(boxes.Entries()[1].text, Wide("SoundFont " + capture + ": not a SoundFont the synthesizer can load\nThe synthesizer keeps ")
            + before + L".");
    EXPECT_EQ(GetSynthSoundFont(), Wide(copy));
    EXPECT_TRUE(keptOpen);
    EXPECT_EQ(state.m_drumChannel, 2);
    EXPECT_EQ(dialog.m_strPort, CString(L"none"));
    EXPECT_EQ(std::make_tuple(dialog.m_output.m_sendSysEx.load(), dialog.m_output.m_reset.load()),
        std::make_tuple(FALSE, std::int32_t(CSerialMidiOut::RESET_GS)));
    dialog.DestroyWindow();
    for (const char* saved : { "\"DrumChannel\"=hex(1):33,00", "\"SendSysEx\"=hex(1):30,00", "\"Reset\"=hex(1):33,00", "\"SoundFont\"=" })
        EXPECT_NE(config.Read().find(saved), std::string::npos) << saved << config.Read();
    SetSynthSoundFont(before);
}
