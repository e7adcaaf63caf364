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

TEST_F(PlayerWindow, StartsWithTheStoredSettingsAndTheFileOfTheCommandLineAndSavesAtClose)
{
    struct Case {
        const char* stored;
        std::string file;
        const char* title;
        std::vector<std::string> texts;
        BYTE drum;
        const char* saved;
    };
    for (const Case& c : {
             Case { nullptr, "", "TabrinoCE", { "1.1.000", "1.1.000", "0" }, 9, "31,30,00" },
             Case { "31,32,00", WriteSong("window-start.mid", 96, 250000, 960), "TabrinoCE - window-start.mid",
                 { "1.1.000", "3.3.000", "0" }, 11, "31,32,00" },
         }) {
        std::remove(config.File().c_str());
        if (c.stored)
            config.Write(std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(1):") + c.stored + "\n");
        CTabrinoDlg dialog;
        dialog.m_strPortOverride = L"none";
        dialog.m_strStartFile = Wide(c.file);
        std::vector<std::string> texts;
        CString title;
        BYTE drum = 0;
        bool threadRunning = false;
        Later([&]() {
            title = dialog.GetWindowText();
            for (CSkinText* field : { dialog.m_pPositionBeat, dialog.m_pLengthBeat, dialog.m_pTransposeText })
                texts.push_back(field->m_strText.ToUtf8());
            drum = dialog.m_playerState.m_drumChannel;
            threadRunning = dialog.m_pThread != nullptr;
            dialog.EndDialog(IDCANCEL);
        });
        EXPECT_EQ(RunModal(dialog), IDCANCEL);
        EXPECT_EQ(title.ToUtf8(), c.title);
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(drum, c.drum);
        EXPECT_TRUE(threadRunning);
        EXPECT_EQ(dialog.m_pVolumeSlider->m_nValue, 1000);
        EXPECT_FALSE(dialog.m_bRefresh);
        // Written at every close, with the value's terminating zero.
        EXPECT_NE(config.Read().find(std::string("[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(1):") + c.saved),
            std::string::npos)
            << config.Read();
    }
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
