#include "PlayerDialogFixture.h"
#include "SettingsAnswer.h"
#include "tests/QtDialogTest.h"

#include "skin/CSkinSlider.h"


// The main dialog run modally by the Qt window backend, as the program runs
// it, on the offscreen platform.
class PlayerWindow : public QtDialogTest {
protected:
    TempConfigHome config;
};

TEST_F(PlayerWindow, StartsWithTheEmptyFaceAndSavesTheDrumChannelAtEveryClose)
{
    for (int run = 0; run < 2; ++run) {
        std::remove(config.File().c_str());
        CTabrinoDlg dialog;
        dialog.m_strPortOverride = L"none";
        std::vector<std::string> texts;
        CString title;
        int volumeValue = -1;
        int positionValue = -1;
        bool threadRunning = false;
        Later([&]() {
            title = dialog.GetWindowText();
            for (CSkinText* field : { dialog.m_pPositionBeat, dialog.m_pPositionTime, dialog.m_pLengthBeat,
                     dialog.m_pLengthTime, dialog.m_pTempoText, dialog.m_pTransposeText })
                texts.push_back(field->m_strText.ToUtf8());
            volumeValue = dialog.m_pVolumeSlider->m_nValue;
            positionValue = dialog.m_pPositionSlider->m_nValue;
            threadRunning = dialog.m_pThread != nullptr;
            dialog.EndDialog(IDCANCEL);
        });
        EXPECT_EQ(RunModal(dialog), IDCANCEL);
        EXPECT_EQ(title.ToUtf8(), "TabrinoCE");
        EXPECT_EQ(texts, (std::vector<std::string> { "1.1.000", "00:00:00,0", "1.1.000", "00:00:00,0", "90", "0" }));
        EXPECT_EQ(volumeValue, 1000);
        EXPECT_EQ(positionValue, 0);
        EXPECT_TRUE(threadRunning);
        EXPECT_EQ(dialog.m_output.m_volume, 1000);
        EXPECT_FALSE(dialog.m_bRefresh);
        // Never changed, still written, with the value's terminating zero.
        EXPECT_NE(config.Read().find("[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(1):31,30,00"),
            std::string::npos)
            << run << "\n"
            << config.Read();
    }
}

TEST_F(PlayerWindow, OpensTheFileOfTheCommandLineAndReadsTheStoredDrumChannel)
{
    config.Write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(1):31,32,00\n");
    CTabrinoDlg dialog;
    dialog.m_strPortOverride = L"none";
    dialog.m_strStartFile = Wide(WriteSong("window-start.mid", 96, 250000, 960));
    CString title;
    BYTE drum = 0;
    LONGLONG length = 0;
    std::string lengthText;
    Later([&]() {
        title = dialog.GetWindowText();
        drum = dialog.m_playerState.m_drumChannel;
        length = dialog.m_playerState.m_length;
        lengthText = dialog.m_pLengthBeat->m_strText.ToUtf8();
        dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(RunModal(dialog), IDOK);
    EXPECT_EQ(title.ToUtf8(), "TabrinoCE - window-start.mid");
    EXPECT_EQ(drum, 11);
    EXPECT_EQ(length, 960);
    EXPECT_EQ(lengthText, "3.3.000");
    EXPECT_NE(config.Read().find("\"DrumChannel\"=hex(1):31,32,00"), std::string::npos);
    // The file opened is remembered first among the recent files.
    CRecentFiles recent;
    recent.Load();
    ASSERT_FALSE(recent.Files().empty());
    EXPECT_EQ(recent.Files()[0], dialog.m_strStartFile);
}

TEST_F(PlayerWindow, SettingsButtonChangesTheDrumChannelThatTheCloseWrites)
{
    CTabrinoDlg dialog;
    dialog.m_strPortOverride = L"none";
    QString shown;
    BYTE afterOk = 0;
    BYTE afterCancel = 0;
    // The settings dialog runs its own modal loop inside the command, so
    // the typing is queued before the command is sent.
    auto answer = [&shown](const char* text, bool ok) {
        Later([&shown, text, ok]() { AnswerSettings(text, ok, shown); });
    };
    Later([&]() {
        answer("3", true);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(1019, 0), reinterpret_cast<LPARAM>(dialog.m_hWnd));
        afterOk = dialog.m_playerState.m_drumChannel;
        answer("7", false);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(1019, 0), reinterpret_cast<LPARAM>(dialog.m_hWnd));
        afterCancel = dialog.m_playerState.m_drumChannel;
        dialog.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(RunModal(dialog), IDCANCEL);
    EXPECT_EQ(shown, QStringLiteral("3")) << "the second run shows the channel the first one set";
    EXPECT_EQ(afterOk, 2);
    EXPECT_EQ(afterCancel, 2);
    EXPECT_NE(config.Read().find("\"DrumChannel\"=hex(1):33,00"), std::string::npos) << config.Read();
}
