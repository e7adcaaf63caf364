#include "PlayerDialogFixture.h"
#include "app/CSettingsDlg.h"
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

// Replaces the edit's text as a user does, then presses the button named, or
// Enter when none is.
void Answer(QWidget* window, const char* text, const char* button)
{
    QLineEdit* edit = window->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromLatin1(text));
    if (!button)
        QTest::keyClick(edit, Qt::Key_Return);
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (button && b->text() == QLatin1String(button))
            QTest::mouseClick(b, Qt::LeftButton);
    }
}

}

// The dialogs run modally by the Qt window backend, as the program runs them.
class SettingsDialog : public QtDialogTest {
protected:
    TempConfigHome config;
};

// The drum channel as the user counts it and the port, from a list of the
// ports that need no file name and the current one: Ok takes them, Cancel
// does not, and the close saves them.
TEST_F(SettingsDialog, TheButtonChangesTheDrumChannelAndThePortOnlyOnOk)
{
    CTabrinoDlg dialog;
    dialog.m_strPortOverride = L"capture:/dev/null";
    CMessageBoxRecorder boxes;
    std::vector<std::string> shown;
    bool keptOpen = false;
    BYTE afterOk = 0, afterCancel = 0;
    // The settings dialog runs its own modal loop inside the command, so its
    // answer is queued before the command is sent.
    auto settings = [&](std::function<void(QWidget*)> answer) {
        Later([&shown, answer] {
            if (QWidget* w = SettingsWindow()) {
                auto* ports = w->findChild<QComboBox*>();
                shown.push_back(w->findChild<QLineEdit*>()->text().toStdString() + " " + ports->currentText().toStdString()
                    + (ports->findText("capture:FILE", Qt::MatchStartsWith) < 0 ? "" : " and capture:FILE"));
                answer(w);
            }
        });
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(1019, 0), reinterpret_cast<LPARAM>(dialog.m_hWnd));
    };
    Later([&] {
        // Text that is not a byte is told once and leaves the dialog open
        // with the text; blanks around a number are accepted.
        settings([&](QWidget* w) {
            auto* ports = w->findChild<QComboBox*>();
            ports->setCurrentIndex(ports->findText("none", Qt::MatchStartsWith));
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
    EXPECT_EQ(shown, (std::vector<std::string> { "10 capture:/dev/null", "3 none  nothing is sent" }));
    EXPECT_TRUE(keptOpen);
    EXPECT_EQ(afterOk, 2);
    EXPECT_EQ(afterCancel, 2);
    EXPECT_EQ(dialog.m_strPort, CString(L"none"));
    EXPECT_NE(config.Read().find("\"DrumChannel\"=hex(1):33,00"), std::string::npos) << config.Read();
}
