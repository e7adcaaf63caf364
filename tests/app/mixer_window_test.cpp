#include "tests/app/PlayerDialogFixture.h"

#include "app/CExportDlg.h"
#include "app/CFaceCommands.h"
#include "app/CPracticeTools.h"
#include "app/CSongViews.h"
#include "app/FaceCommands.h"
#include "app/KeyBindings.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/Menu.h"
#include "tests/support/CMessageBoxRecorder.h"

#include <filesystem>

namespace {

// Two channels: "Melody" on the first, a track without a name playing an
// acoustic bass on the second; four seconds long.
std::string WriteTwoChannelSong()
{
    std::vector<unsigned char> melody { 0x00, 0xFF, 0x03, 6, 'M', 'e', 'l', 'o', 'd', 'y', 0x00, 0x90, 72, 100 };
    PutVarLen(melody, 384 * 8);
    melody.insert(melody.end(), { 0x80, 72, 0, 0x00, 0xFF, 0x2F, 0x00 });
    std::vector<unsigned char> bass { 0x00, 0xC1, 32, 0x00, 0x91, 36, 100 };
    PutVarLen(bass, 384 * 8);
    bass.insert(bass.end(), { 0x81, 36, 0, 0x00, 0xFF, 0x2F, 0x00 });
    std::vector<unsigned char> file { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0x80 };
    PutTrackChunk(file, melody);
    PutTrackChunk(file, bass);
    const std::string path = std::string(TEST_BINARY_DIR) + "/mixer-two-channels.mid";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return path;
}

}

class MixerWindow : public PlayerDialog {
protected:
    CMixerWindow& mixer() { return dialog.m_pViews->m_mixer; }
    int Id(int channel, int item) { return CMixerWindow::StripId(channel, item); }
    bool Checked(int channel, int item) { return mixer().IsDlgButtonChecked(Id(channel, item)) == BST_CHECKED; }
    void Click(int channel, int item) { mixer().SendDlgItemMessage(Id(channel, item), BM_CLICK); }
    // Moves a trackbar as the user does: the position, then the scroll.
    void Slide(int id, int position)
    {
        mixer().SendDlgItemMessage(id, TBM_SETPOS, TRUE, position);
        mixer().SendMessage(WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(mixer().GetDlgItem(id)->m_hWnd));
    }
    std::string Name(int channel)
    {
        CString text;
        mixer().GetDlgItemText(Id(channel, CMixerWindow::ITEM_NAME), text);
        return text.ToUtf8();
    }
};

// The mixer's strips are the song's channels; its buttons, the face's
// meters and the menu work on one state, and a new song starts as in the
// song.
TEST_F(MixerWindow, StripsFollowTheSongAndShareTheStateWithTheFaceAndTheMenu)
{
    Open(WriteTwoChannelSong());
    EXPECT_EQ(CommandForKey('X', 0), ID_MIXER_WINDOW);
    Command(ID_MIXER_WINDOW);
    ASSERT_TRUE(mixer().IsOpen());
    EXPECT_EQ(std::make_tuple(Name(0), Name(1), mixer().GetDlgItem(Id(2, CMixerWindow::ITEM_NAME)) == nullptr),
        std::make_tuple(std::string("1  Melody"), std::string("2  Acoustic Bass"), true));

    // Emphasis in the window, minus one from the menu: one at a time.
    Click(1, CMixerWindow::ITEM_EMPHASIS);
    EXPECT_EQ(std::make_pair(dialog.m_mixer.Values().focus, dialog.m_mixer.Values().focusChannel),
        std::make_pair(std::int32_t(CMixerValues::FOCUS_EMPHASIS), 1));
    Command(ID_MINUS_ONE_FIRST + 0);
    EXPECT_EQ(std::make_tuple(Checked(1, CMixerWindow::ITEM_EMPHASIS), Checked(0, CMixerWindow::ITEM_MINUS_ONE),
                  dialog.m_mixer.Values().Scale(0)),
        std::make_tuple(false, true, 0));
    // The same again ends it.
    Command(ID_MINUS_ONE_FIRST + 0);
    EXPECT_EQ(dialog.m_mixer.Values().focus, CMixerValues::FOCUS_NONE);
    Command(ID_MINUS_ONE_FIRST + 0);

    // A mute on the face shows in the window; a solo in the window on the face.
    CFaceCommands(dialog).OnMeterClick(0, 0);
    EXPECT_TRUE(Checked(0, CMixerWindow::ITEM_MUTE));
    Click(1, CMixerWindow::ITEM_SOLO);
    EXPECT_EQ(std::make_tuple(dialog.m_practice.SoloChannel(), dialog.m_practice.IsMuted(0), Checked(0, CMixerWindow::ITEM_MUTE)),
        std::make_tuple(1, TRUE, true));

    // The volume and an own pan; "as in the song" again without the box.
    Slide(Id(0, CMixerWindow::ITEM_VOLUME), 40);
    Click(0, CMixerWindow::ITEM_OWN_PAN);
    Slide(Id(0, CMixerWindow::ITEM_PAN), 10);
    Slide(CMixerWindow::ID_LEVEL, 15);
    EXPECT_EQ(std::make_tuple(dialog.m_mixer.Values().volume[0], dialog.m_mixer.Values().pan[0], dialog.m_mixer.Values().emphasisLevel),
        std::make_tuple(40, 10, 15));
    Click(0, CMixerWindow::ITEM_OWN_PAN);
    EXPECT_EQ(dialog.m_mixer.Values().pan[0], CMixerValues::PAN_AS_SONG);

    // A mix set from outside (a song's memory) shows in the window.
    CMixerValues remembered;
    remembered.volume[1] = 55;
    remembered.Emphasize(0, 20);
    dialog.ApplyMixer(remembered);
    EXPECT_EQ(std::make_tuple(int(mixer().SendDlgItemMessage(Id(1, CMixerWindow::ITEM_VOLUME), TBM_GETPOS)),
                  Checked(0, CMixerWindow::ITEM_EMPHASIS)),
        std::make_tuple(55, true));

    // The menu offers both for every channel, and the export.
    HMENU menu = CFaceCommands(dialog).BuildMenu();
    std::vector<std::string> entries;
    for (int n = 0; n < GetMenuItemCount(menu); ++n)
        entries.push_back(GetMenuText(menu, n).ToUtf8());
    for (const char* entry : { "Emphasis", "Minus one", "Export practice track\u2026", "Mixer\tX" })
        EXPECT_NE(std::find(entries.begin(), entries.end(), entry), entries.end()) << entry;
    DestroyMenu(menu);

    // A new song: every channel as in the song, the level kept. (Another
    // song: this one would come back with its mix remembered.)
    Open(WriteSong("mixer-other.mid", 384, 500000, 384 * 8));
    EXPECT_EQ(std::make_tuple(dialog.m_mixer.Values().focus, dialog.m_mixer.Values().volume[1], Checked(0, CMixerWindow::ITEM_EMPHASIS)),
        std::make_tuple(std::int32_t(CMixerValues::FOCUS_NONE), 100, false));
    Command(ID_MIXER_WINDOW);
    EXPECT_FALSE(mixer().IsOpen());
}

// The export renders with the window's settings on a player of its own:
// nothing of it reaches the window's port.
TEST_F(MixerWindow, ExportRendersTheCurrentSettingsApartFromTheWindowsPlayer)
{
    if (!std::filesystem::exists("/usr/share/sounds/sf2/TimGM6mb.sf2"))
        GTEST_SKIP() << "no SoundFont";
    CMessageBoxRecorder boxes;
    Open(WriteTwoChannelSong());
    Command(ID_MINUS_ONE_FIRST + 1);
    Command(ID_TRANSPOSE_UP);
    dialog.m_practice.SetMuted(0, TRUE);
    CMetronomeSettings click;
    click.sound = CMetronomeSettings::COWBELL;
    click.volume = 40;
    dialog.m_pPracticeTools->SetMetronome(click);
    const CPracticeRender::Settings settings = CExportDlg::CurrentSettings(dialog);
    EXPECT_EQ(std::make_tuple(settings.practice.m_muted, settings.practice.m_mix.Scale(1), settings.transpose),
        std::make_tuple(1u, 0, 1));
    EXPECT_EQ(settings.click, click) << "the export clicks as the practice dialog set it";

    const auto sent = std::filesystem::file_size(capture);
    const std::string wav = std::string(TEST_BINARY_DIR) + "/mixer-export.wav";
    ASSERT_TRUE(dialog.m_pExport->StartInto(Wide(wav)));
    EXPECT_FALSE(dialog.m_pExport->StartInto(Wide(wav))) << "one render at a time";
    dialog.m_pExport->Finish();
    EXPECT_EQ(dialog.m_pExport->m_result, Wide("The practice track is in " + wav));
    ASSERT_EQ(boxes.Entries().size(), 1u);
    EXPECT_GT(std::filesystem::file_size(wav), 44u * 1000);
    EXPECT_EQ(std::filesystem::file_size(capture), sent);
    std::filesystem::remove(wav);
}
