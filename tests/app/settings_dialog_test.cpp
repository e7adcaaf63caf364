#include "PlayerDialogFixture.h"
#include "app/CSettingsDlg.h"
#include "platform/comm/CPortList.h"
#include "platform/core/CMessageBoxRecorder.h"
#include "tests/QtDialogTest.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// The settings dialog the program shows, found by its title, or null: its
// dialog object lives inside the code under test.
QWidget* SettingsWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == QStringLiteral("Settings"))
            return w;
    }
    return nullptr;
}

void Press(QWidget* window, const char* button)
{
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text() == QLatin1String(button))
            QTest::mouseClick(b, Qt::LeftButton);
    }
}

// Replaces the edit's text as a user does, then presses the button named, or
// Enter when none is.
void Answer(QWidget* window, const char* text, const char* button)
{
    QLineEdit* edit = window->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromLatin1(text));
    if (button)
        Press(window, button);
    else
        QTest::keyClick(edit, Qt::Key_Return);
}

}

// The dialogs run modally by the Qt window backend, as the program runs them.
class SettingsDialog : public QtDialogTest {
protected:
    TempConfigHome config;
};

TEST_F(SettingsDialog, TheButtonChangesTheDrumChannelOnlyOnOkAndTheCloseSavesIt)
{
    CTabrinoDlg dialog;
    dialog.m_strPortOverride = L"none";
    CMessageBoxRecorder boxes;
    std::vector<std::string> shown;
    bool keptOpen = false;
    BYTE afterOk = 0, afterCancel = 0;
    // The settings dialog runs its own modal loop inside the command, so its
    // answer is queued before the command is sent.
    auto settings = [&](std::function<void(QWidget*)> answer) {
        Later([&shown, answer] {
            if (QWidget* w = SettingsWindow()) {
                shown.push_back(w->findChild<QLineEdit*>()->text().toStdString());
                answer(w);
            }
        });
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(1019, 0), reinterpret_cast<LPARAM>(dialog.m_hWnd));
    };
    Later([&] {
        // Text that is not a byte is told once and leaves the dialog open
        // with the text; blanks around a number are accepted.
        settings([&](QWidget* w) {
            Answer(w, "256", "Ok");
            keptOpen = SettingsWindow() == w && boxes.Entries().size() == 1
                && w->findChild<QLineEdit*>()->text() == QStringLiteral("256");
            Answer(w, " 3 ", nullptr);
        });
        afterOk = dialog.m_playerState.m_drumChannel;
        settings([](QWidget* w) { Answer(w, "7", "Abbruch"); });
        afterCancel = dialog.m_playerState.m_drumChannel;
        dialog.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(RunModal(dialog), IDCANCEL);
    EXPECT_EQ(shown, (std::vector<std::string> { "10", "3" }));
    EXPECT_TRUE(keptOpen);
    EXPECT_EQ(afterOk, 2);
    EXPECT_EQ(afterCancel, 2);
    EXPECT_NE(config.Read().find("\"DrumChannel\"=hex(1):33,00"), std::string::npos) << config.Read();
}

TEST_F(SettingsDialog, ThePortChooserOffersTheListAndTheCurrentPort)
{
    CPortList ports;
    for (const wchar_t* name : { L"synth", L"/dev/ttyUSB0", L"none" })
        ports.m_entries.push_back({ name, L"a port", false });
    ports.m_entries.push_back({ L"capture:FILE", L"a form", true });
    CSettingsDlg dialog;
    dialog.SetPorts(ports, L"/dev/ttyUSB0");
    EXPECT_EQ(dialog.m_nPort, 1);
    // A port the list does not hold (a capture file from the command line)
    // is offered too, so Ok keeps it; a form that needs a file is not.
    dialog.SetPorts(ports, L"capture:/tmp/x.txt");
    EXPECT_EQ(dialog.m_nPort, 3);
    EXPECT_EQ(dialog.GetPort(), CString(L"capture:/tmp/x.txt"));
    Later([] {
        if (QWidget* w = SettingsWindow()) {
            w->findChild<QComboBox*>()->setCurrentIndex(2);
            Press(w, "Ok");
        }
    });
    ASSERT_EQ(RunModal(dialog), IDOK);
    EXPECT_EQ(dialog.GetPort(), CString(L"none"));
}
