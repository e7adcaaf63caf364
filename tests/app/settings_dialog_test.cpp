#include "app/CSettingsDlg.h"
#include "platform/comm/CPortList.h"
#include "platform/core/CMessageBoxRecorder.h"
#include "platform/ui/CDataExchange.h"
#include "platform/ui/CDialogControl.h"
#include "platform/ui/WindowHandle.h"
#include "tests/QtDialogTest.h"
#include "tests/app/SettingsAnswer.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QLineEdit* Edit(CDialog& dialog)
{
    CWnd* control = dialog.GetDlgItem(CSettingsDlg::IDC_DRUM_CHANNEL);
    return control ? qobject_cast<QLineEdit*>(WidgetOfWindow(control->m_hWnd)) : nullptr;
}

QPushButton* Button(CDialog& dialog, int id)
{
    CWnd* control = dialog.GetDlgItem(id);
    return control ? qobject_cast<QPushButton*>(WidgetOfWindow(control->m_hWnd)) : nullptr;
}

}

using SettingsDialog = QtDialogTest;

TEST_F(SettingsDialog, TextThatIsNotAByteShowsTheMessageAndKeepsTheDialogOpen)
{
    CMessageBoxRecorder boxes;
    CSettingsDlg dialog;
    dialog.m_nDrumChannel = 10;
    struct Seen {
        size_t boxes;
        bool ending;
        CString text;
        bool editHasFocus;
    };
    std::vector<Seen> seen;
    const char* const typed[] = { "abc", "-1", "", "256", "1 2", "99999999999" };
    Later([&]() {
        for (const char* text : typed) {
            TypeInto(Edit(dialog), text);
            QTest::mouseClick(Button(dialog, IDOK), Qt::LeftButton);
            CString now;
            dialog.GetDlgItemText(CSettingsDlg::IDC_DRUM_CHANNEL, now);
            seen.push_back({ boxes.Entries().size(), dialog.IsEnding(), now,
                GetFocus() == dialog.GetDlgItem(CSettingsDlg::IDC_DRUM_CHANNEL)->m_hWnd });
        }
        // Blanks around a number are accepted; Enter in the edit is Ok.
        TypeInto(Edit(dialog), " 255 ");
        QTest::keyClick(Edit(dialog), Qt::Key_Return);
    });
    EXPECT_EQ(RunModal(dialog), IDOK);
    EXPECT_EQ(dialog.m_nDrumChannel, 255);
    ASSERT_EQ(seen.size(), std::size(typed));
    for (size_t i = 0; i < seen.size(); ++i) {
        // One message per attempt, the dialog stays, the text is kept.
        EXPECT_EQ(seen[i].boxes, i + 1) << typed[i];
        EXPECT_FALSE(seen[i].ending) << typed[i];
        EXPECT_EQ(seen[i].text, CString::FromUtf8(typed[i])) << typed[i];
        EXPECT_TRUE(seen[i].editHasFocus) << typed[i];
    }
    ASSERT_FALSE(boxes.Entries().empty());
    EXPECT_EQ(boxes.Entries()[0].text, L"Please enter an integer between 0 and 255.");
}

TEST_F(SettingsDialog, PortChooserOffersTheListWithTheCurrentPortSelected)
{
    CPortList ports;
    for (const wchar_t* name : { L"synth", L"seq:128:0", L"/dev/ttyUSB0", L"none" })
        ports.m_entries.push_back({ name, L"a port", false });
    ports.m_entries.push_back({ L"capture:FILE", L"a form", true });
    struct Case {
        const wchar_t* current;
        int choose;
        std::vector<QString> items;
        int shown;
        const wchar_t* chosen;
    };
    for (const Case& c : {
             Case { L"/dev/ttyUSB0", 3, { "synth  a port", "seq:128:0  a port", "/dev/ttyUSB0  a port", "none  a port" }, 2,
                 L"none" },
             // A port the list does not hold (a capture file from the command
             // line) is offered too, so Ok keeps it.
             Case { L"capture:/tmp/x.txt", -1,
                 { "synth  a port", "seq:128:0  a port", "/dev/ttyUSB0  a port", "none  a port", "capture:/tmp/x.txt" }, 4,
                 L"capture:/tmp/x.txt" },
         }) {
        CSettingsDlg dialog;
        dialog.SetPorts(ports, c.current);
        std::vector<QString> items;
        int shown = -1;
        Later([&]() {
            CWnd* control = dialog.GetDlgItem(CSettingsDlg::IDC_PORT);
            auto* combo = control ? qobject_cast<QComboBox*>(WidgetOfWindow(control->m_hWnd)) : nullptr;
            if (!combo) {
                dialog.EndDialog(-3);
                return;
            }
            for (int i = 0; i < combo->count(); ++i)
                items.push_back(combo->itemText(i));
            shown = combo->currentIndex();
            if (c.choose >= 0)
                combo->setCurrentIndex(c.choose);
            QTest::mouseClick(Button(dialog, IDOK), Qt::LeftButton);
        });
        ASSERT_EQ(RunModal(dialog), IDOK);
        EXPECT_EQ(items, c.items);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(dialog.GetPort(), CString(c.chosen));
    }
}
