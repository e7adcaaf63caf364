#include "platform/ui/CDataExchange.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CDialogControl.h"
#include "platform/ui/CDialogTemplate.h"
#include "tests/support/CFileDialogScript.h"
#include "tests/support/CMessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(DialogTemplate, EmbeddedTemplatesLoad)
{
    CDialogTemplate main;
    ASSERT_TRUE(main.Load(102));
    EXPECT_EQ(main.m_caption, L"TabrinoCE");
    EXPECT_EQ(main.m_width, 127);
    EXPECT_EQ(main.m_height, 131);
    EXPECT_TRUE(main.IsFace());
    EXPECT_EQ(main.m_faceWidth, 240);
    EXPECT_EQ(main.m_faceHeight, 268);
    EXPECT_TRUE(main.m_items.empty());

    CDialogTemplate settings;
    ASSERT_TRUE(settings.Load(132));
    EXPECT_EQ(settings.m_caption, L"Settings");
    EXPECT_FALSE(settings.IsFace());
    ASSERT_EQ(settings.m_items.size(), 18u);
    const CDialogTemplate::Item& edit = settings.m_items[0];
    EXPECT_EQ(edit.id, 1011);
    EXPECT_EQ(edit.className, L"EDIT");
    EXPECT_TRUE(edit.text.IsEmpty());
    EXPECT_EQ(edit.x, 83);
    EXPECT_EQ(edit.height, 14);
    EXPECT_TRUE(edit.HasStyle("WS_TABSTOP"));
    const CDialogTemplate::Item& ports = settings.m_items[7];
    EXPECT_EQ(ports.id, 1012);
    EXPECT_EQ(ports.className, L"COMBOBOX");
    EXPECT_TRUE(ports.HasStyle("CBS_DROPDOWNLIST"));
    EXPECT_TRUE(ports.HasStyle("WS_TABSTOP"));
    EXPECT_EQ(std::make_tuple(settings.m_items[9].id, settings.m_items[9].className), std::make_tuple(1015, CString(L"COMBOBOX")));
    EXPECT_EQ(std::make_tuple(settings.m_items[10].id, settings.m_items[10].text), std::make_tuple(1016, CString(L"Browse...")));
    EXPECT_EQ(std::make_tuple(settings.m_items[12].id, settings.m_items[12].className), std::make_tuple(1014, CString(L"COMBOBOX")));
    EXPECT_TRUE(settings.m_items[13].HasStyle("BS_AUTOCHECKBOX"));
    EXPECT_EQ(settings.m_items[13].text, L"Send SysEx");
    EXPECT_EQ(settings.m_items[16].id, IDOK);
    EXPECT_TRUE(settings.m_items[16].HasStyle("BS_DEFPUSHBUTTON"));
    EXPECT_EQ(settings.m_items[17].text, L"Abbruch");

    CDialogTemplate none;
    EXPECT_FALSE(none.Load(999));
}

TEST(DialogTemplate, DamagedTextIsRefusedWhole)
{
    const char* bad[] = {
        "caption \"x\"\n",                               // no size
        "size 10\n",                                     // a number missing
        "size 10 x\n",                                   // not a number
        "size 10 10\ncaption \"open\n",                  // unterminated text
        "size 10 10\ncontrol 1 EDIT 1 2 3 4 5\n",        // text missing
        "size 10 10\ncontrol 1 EDIT \"\" 1 2 3 99999\n", // out of range
        "size 10 10\nwindow 3\n",                        // unknown directive
    };
    for (const char* text : bad) {
        CDialogTemplate t;
        EXPECT_FALSE(t.Parse(text)) << text;
        EXPECT_TRUE(t.m_items.empty());
        EXPECT_EQ(t.m_width, 0);
    }
    CDialogTemplate t;
    EXPECT_TRUE(t.Parse("# comment\nsize 10 20\ncontrol -1 STATIC \"say \\\"hi\\\" \\\\ \xC3\xA4\" 1 2 3 4\n"));
    ASSERT_EQ(t.m_items.size(), 1u);
    EXPECT_EQ(t.m_items[0].text, L"say \"hi\" \\ \u00e4");
    EXPECT_TRUE(t.m_items[0].styles.empty());
}

namespace {

// A dialog without a screen whose one control is the template line given.
void MakeHeadlessDialog(CDialog& dialog, const char* control)
{
    CDialogTemplate t;
    ASSERT_TRUE(t.Parse(std::string("size 50 50\n") + control + "\n"));
    ASSERT_TRUE(dialog.CreateHeadless(100, 100));
    dialog.CreateControls(t, nullptr);
}

}

TEST(DialogControls, HeadlessControlsExchangeAByte)
{
    CDialog dialog(0);
    MakeHeadlessDialog(dialog, "control 7 EDIT \"\" 1 1 10 10 WS_TABSTOP");
    ASSERT_NE(dialog.GetDlgItem(7), nullptr);
    EXPECT_EQ(dialog.GetDlgItem(8), nullptr);

    CMessageBoxRecorder boxes;
    BYTE value = 42;
    CDataExchange load(&dialog, FALSE);
    DDX_Text(&load, 7, value);
    CString text;
    dialog.GetDlgItemText(7, text);
    EXPECT_EQ(text, L"42");

    dialog.SetDlgItemText(7, L"0");
    CDataExchange save(&dialog, TRUE);
    DDX_Text(&save, 7, value);
    EXPECT_FALSE(save.Failed());
    EXPECT_EQ(value, 0);

    dialog.SetDlgItemText(7, L"256");
    CDataExchange fail(&dialog, TRUE);
    DDX_Text(&fail, 7, value);
    EXPECT_TRUE(fail.Failed());
    EXPECT_EQ(value, 0);
    // A failed exchange skips the rest of its pass.
    dialog.SetDlgItemText(7, L"9");
    DDX_Text(&fail, 7, value);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(boxes.Entries().size(), 1u);

    // A control the dialog does not have fails the exchange silently.
    CDataExchange missing(&dialog, TRUE);
    DDX_Text(&missing, 99, value);
    EXPECT_TRUE(missing.Failed());
    EXPECT_EQ(boxes.Entries().size(), 1u);

    dialog.DestroyWindow();
    EXPECT_EQ(dialog.GetDlgItem(7), nullptr);
}

TEST(FileDialog, FilterTranslatesToQtForm)
{
    EXPECT_EQ(CFileDialog::TranslateFilter(L"Midi Files (*.mid)|*.mid|All Files (*.*)|*.*||"),
        L"Midi Files (*.mid);;All Files (*)");
    EXPECT_EQ(CFileDialog::TranslateFilter(L"Songs|*.mid;*.midi|"), L"Songs (*.mid *.midi)");
    EXPECT_EQ(CFileDialog::TranslateFilter(L""), L"");
    EXPECT_EQ(CFileDialog::TranslateFilter(L"Odd|"), L"");
}

TEST(FileDialog, ScriptAnswersWithoutShowing)
{
    const wchar_t* filter = L"Midi Files (*.mid)|*.mid|All Files (*.*)|*.*||";
    {
        CFileDialogScript script(L"/music/folder.x/song.mid");
        CFileDialog dialog(TRUE, L"mid", L"", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter);
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.GetPathName(), L"/music/folder.x/song.mid");
        EXPECT_EQ(dialog.GetFileName(), L"song.mid");
        EXPECT_EQ(dialog.GetFileExt(), L"mid");
        ASSERT_EQ(script.Requests().size(), 1u);
        EXPECT_EQ(script.Requests()[0].defaultExt, L"mid");
        EXPECT_EQ(script.Requests()[0].filter, filter);

        script.SetAnswer(L"");
        CFileDialog cancelled(TRUE, L"mid", L"", 0, filter);
        EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
        EXPECT_TRUE(cancelled.GetPathName().IsEmpty());
    }
    // A runner that says IDOK without a path is a cancel.
    CFileDialog::Runner previous = CFileDialog::SetRunner([](CFileDialog&) { return IDOK; });
    CFileDialog empty(TRUE, L"mid", L"", 0, filter);
    EXPECT_EQ(empty.DoModal(), IDCANCEL);
    CFileDialog::SetRunner(nullptr);
    EXPECT_EQ(empty.DoModal(), IDCANCEL);
    CFileDialog::SetRunner(std::move(previous));
}

TEST(DialogControls, HeadlessComboBoxKeepsItsListAndSelection)
{
    CDialog dialog(0);
    MakeHeadlessDialog(dialog, "control 5 COMBOBOX \"\" 1 1 10 10 CBS_DROPDOWNLIST");
    auto add = [&](const wchar_t* text) { return dialog.SendDlgItemMessage(5, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); };
    EXPECT_EQ(add(L"synth"), 0);
    EXPECT_EQ(add(L"seq:128:0"), 1);
    EXPECT_EQ(add(L"none"), 2);
    EXPECT_EQ(dialog.SendDlgItemMessage(5, CB_GETCOUNT), 3);
    EXPECT_EQ(dialog.SendDlgItemMessage(5, CB_GETCURSEL), CB_ERR);

    int index = 1;
    CDataExchange load(&dialog, FALSE);
    DDX_CBIndex(&load, 5, index);
    EXPECT_EQ(dialog.SendDlgItemMessage(5, CB_GETCURSEL), 1);
    ASSERT_EQ(dialog.SendDlgItemMessage(5, CB_GETLBTEXTLEN, 1), 9);
    wchar_t text[10];
    EXPECT_EQ(dialog.SendDlgItemMessage(5, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text)), 9);
    EXPECT_EQ(CString(text), L"seq:128:0");
    EXPECT_EQ(dialog.SendDlgItemMessage(5, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(text)), CB_ERR);

    // An index past the list selects nothing, and saving reads that back.
    EXPECT_EQ(dialog.SendDlgItemMessage(5, CB_SETCURSEL, 3), CB_ERR);
    CDataExchange save(&dialog, TRUE);
    DDX_CBIndex(&save, 5, index);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(dialog.SendDlgItemMessage(5, CB_RESETCONTENT), 0);
    EXPECT_EQ(dialog.SendDlgItemMessage(5, CB_GETCOUNT), 0);
    dialog.DestroyWindow();
}
