#include "platform/gdi/CDC.h"
#include "platform/ui/CDataExchange.h"
#include "platform/ui/CListBoxControl.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/WindowHandle.h"
#include "tests/QtDialogTest.h"
#include "tests/support/CMessageBoxRecorder.h"

#include <QCheckBox>
#include <QPointer>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressBar>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

#include <string>
#include <thread>
#include <vector>

namespace {

// A channel strip with every control kind, as a mixer or a playlist has
// them, and what it was told.
const char* const kStrip = R"(caption "Strip"
size 160 130
style WS_POPUP|WS_CAPTION|WS_SYSMENU|WS_THICKFRAME
control 11 BUTTON "Mute" 6 12 40 10 WS_CHILD|WS_VISIBLE|WS_TABSTOP|BS_AUTOCHECKBOX
control 12 BUTTON "Left" 6 24 40 10 WS_CHILD|WS_VISIBLE|WS_GROUP|BS_AUTORADIOBUTTON
control 13 BUTTON "Centre" 6 34 40 10 WS_CHILD|WS_VISIBLE|BS_AUTORADIOBUTTON
control 14 BUTTON "Right" 6 44 40 10 WS_CHILD|WS_VISIBLE|BS_AUTORADIOBUTTON
control 10 BUTTON "Channel" 2 2 156 60 WS_CHILD|WS_VISIBLE|BS_GROUPBOX
control 15 msctls_trackbar32 "" 60 12 80 14 WS_CHILD|WS_VISIBLE|WS_GROUP|WS_TABSTOP
control 16 msctls_progress32 "" 60 30 80 8 WS_CHILD|WS_VISIBLE
control 17 STATIC "" 60 42 80 10 WS_CHILD|WS_VISIBLE|SS_OWNERDRAW|SS_NOTIFY
control 18 LISTBOX "" 2 64 156 40 WS_CHILD|WS_VISIBLE|WS_TABSTOP|LBS_NOTIFY|LBS_USETABSTOPS|LBS_WANTKEYBOARDINPUT|LBS_DRAGREORDER
control 19 EDIT "" 2 108 30 12 WS_CHILD|WS_VISIBLE|WS_TABSTOP
control 20 msctls_trackbar32 "" 140 106 16 22 WS_CHILD|WS_VISIBLE|TBS_VERT
)";

class CStripDlg : public CDialog {
public:
    CStripDlg() : CDialog(0) { }

    int m_mute { BST_CHECKED };
    int m_pan { 2 };
    int m_volume { 300 };
    int m_song { 1 };
    int m_percent { 70 };
    COLORREF m_level { RGB(0, 200, 0) };
    // Notifications as "id:code", scrolls as "scroll:code:pos", moves as
    // "move:from>to", keys as "key:vk@item".
    std::vector<std::string> m_told;

    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Check(dx, 11, m_mute);
        DDX_Radio(dx, 12, m_pan);
        DDX_Slider(dx, 15, m_volume);
        DDX_LBIndex(dx, 18, m_song);
        DDX_Text(dx, 19, m_percent);
        DDV_MinMaxInt(dx, m_percent, 10, 300);
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        auto note = [this](std::string text) { m_told.push_back(std::move(text)); };
        switch (message) {
        case WM_COMMAND:
            if (lParam)
                note(std::to_string(LOWORD(wParam)) + ":" + std::to_string(HIWORD(wParam)));
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
            note((message == WM_VSCROLL ? "vscroll:" : "scroll:") + std::to_string(LOWORD(wParam)) + ":"
                + std::to_string(HIWORD(wParam)));
            return 0;
        case WM_NOTIFY: {
            const auto* moved = reinterpret_cast<const NMLBITEMMOVED*>(lParam);
            if (moved->hdr.code == LBN_ITEMMOVED)
                note("move:" + std::to_string(moved->iFrom) + ">" + std::to_string(moved->iTo));
            return 0;
        }
        case WM_VKEYTOITEM:
            note("key:" + std::to_string(LOWORD(wParam)) + "@" + std::to_string(HIWORD(wParam)));
            // Delete removes the song; every other key is the list's.
            if (LOWORD(wParam) != VK_DELETE)
                return -1;
            SendDlgItemMessage(18, LB_DELETESTRING, HIWORD(wParam));
            return -2;
        case WM_DROPFILES:
            note("drop:" + std::to_string(DragQueryFileW(reinterpret_cast<HDROP>(wParam), 0xFFFFFFFFu, nullptr, 0)));
            break;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            CDC dc;
            dc.Attach(item->hDC);
            dc.FillSolidRect(&item->rcItem, m_level);
            dc.Detach();
            return TRUE;
        }
        default:
            break;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }

    BOOL OnInitDialog() override
    {
        for (const wchar_t* song : { L"Intro\t0:31", L"Verse\t2:05", L"Coda\t1:10" })
            SendDlgItemMessage(18, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(song));
        SendDlgItemMessage(18, LB_SETMARKEDITEM, 1);
        SendDlgItemMessage(15, TBM_SETRANGE, TRUE, MAKELPARAM(0, 1000));
        return CDialog::OnInitDialog();
    }

    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendDlgItemMessage(id, message, wParam, lParam);
    }
    CString Song(int index)
    {
        wchar_t text[32] {};
        Send(18, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::string Told()
    {
        std::string all;
        for (const std::string& t : m_told)
            all += t + " ";
        m_told.clear();
        return all;
    }
};

CDialogTemplate Strip()
{
    CDialogTemplate t;
    EXPECT_TRUE(t.Parse(kStrip));
    return t;
}

}

// The strip without a display: values go in and out through the exchange,
// the user's actions (BM_CLICK, keys, a drag) send what the styles promise.
TEST(WindowControls, HeadlessStripExchangesValuesAndNotifies)
{
    CStripDlg dlg;
    ASSERT_TRUE(dlg.CreateIndirect(Strip()));
    EXPECT_FALSE(dlg.IsWindowVisible()) << "no WS_VISIBLE in the template";
    EXPECT_EQ(GetFocus(), dlg.GetDlgItem(11)->m_hWnd) << "the first tab stop";
    EXPECT_EQ(dlg.Send(11, BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ((std::vector<LRESULT> { dlg.Send(12, BM_GETCHECK), dlg.Send(13, BM_GETCHECK), dlg.Send(14, BM_GETCHECK) }),
        (std::vector<LRESULT> { 0, 0, 1 }));
    EXPECT_EQ(dlg.Send(15, TBM_GETPOS), 300);
    EXPECT_EQ(dlg.Send(18, LB_GETCURSEL), 1);

    // Clicks: the check box toggles, a radio button clears its group.
    dlg.Send(11, BM_CLICK);
    dlg.Send(12, BM_CLICK);
    EXPECT_EQ(dlg.Told(), "11:0 12:0 ");
    EXPECT_EQ(dlg.IsDlgButtonChecked(11), 0u);
    EXPECT_EQ(dlg.Send(14, BM_GETCHECK), 0);
    dlg.GetDlgItem(11)->EnableWindow(FALSE);
    dlg.Send(11, BM_CLICK);
    EXPECT_EQ(dlg.Told(), "") << "a disabled control takes no input";

    // The trackbar: a page is a fifth of the range; the ends are kept.
    dlg.Send(15, WM_KEYDOWN, VK_NEXT);
    dlg.Send(15, WM_KEYDOWN, VK_END);
    dlg.Send(15, WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(dlg.Told(), "scroll:3:0 scroll:8:0 scroll:7:0 scroll:8:0 scroll:1:0 scroll:8:0 ");
    EXPECT_EQ(dlg.Send(15, TBM_GETPOS), 1000);
    dlg.Send(15, TBM_SETRANGEMAX, TRUE, 500);
    EXPECT_EQ(dlg.Send(15, TBM_GETPOS), 500);
    dlg.Send(20, WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(dlg.Told(), "vscroll:1:0 vscroll:8:0 ");
    EXPECT_EQ(dlg.Send(20, TBM_GETPOS), 1);
    // A worker's post to a control arrives with the dialog's messages.
    std::thread([bar = dlg.GetDlgItem(16)->m_hWnd]() { PostMessageW(bar, PBM_SETPOS, 70, 0); }).join();
    EXPECT_EQ(DispatchPostedMessages(dlg.m_hWnd), 1);
    EXPECT_EQ(dlg.Send(16, PBM_GETPOS), 70);
    dlg.Send(16, PBM_SETRANGE32, 0, 2000);
    EXPECT_EQ(dlg.Send(16, PBM_SETPOS, 2500), 70);
    EXPECT_EQ(dlg.Send(16, PBM_DELTAPOS, static_cast<WPARAM>(-500)), 2000);
    EXPECT_EQ(dlg.Send(16, PBM_GETPOS), 1500);

    // The list: the selection and the mark stay on their items while others
    // come, go and are dragged past them.
    dlg.Send(18, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(L"Count-in\t0:02"));
    EXPECT_EQ(dlg.Send(18, LB_GETCURSEL), 2);
    EXPECT_EQ(dlg.Send(18, LB_GETMARKEDITEM), 2);
    auto* list = dynamic_cast<CListBoxControl*>(dlg.GetDlgItem(18));
    ASSERT_NE(list, nullptr);
    list->MoveByUser(0, 3);
    EXPECT_EQ(dlg.Song(3), L"Count-in\t0:02");
    EXPECT_EQ(dlg.Send(18, LB_GETCURSEL), 1);
    list->MoveByUser(1, 0);
    list->DoubleClickByUser(2);
    EXPECT_EQ(dlg.Told(), "move:0>3 move:1>0 18:1 18:2 ");
    EXPECT_EQ(dlg.Send(18, LB_GETMARKEDITEM), 0);
    dlg.Send(18, WM_KEYDOWN, VK_UP);
    dlg.Send(18, WM_KEYDOWN, VK_DELETE);
    EXPECT_EQ(dlg.Told(), "key:38@2 18:1 key:46@1 ");
    EXPECT_EQ(dlg.Send(18, LB_GETCOUNT), 3);
    EXPECT_EQ(dlg.Send(18, LB_GETCURSEL), LB_ERR);
    EXPECT_EQ(dlg.Song(1), L"Coda\t1:10");

    // The owner-drawn level is drawn by the dialog into its own pixels.
    HWND level = dlg.GetDlgItem(17)->m_hWnd;
    UpdateWindow(level);
    EXPECT_EQ(level->surface.width, 160);
    EXPECT_EQ(level->surface.At(159, 19), 0x0000C800u);
    SendMessageW(level, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(dlg.Told(), "17:0 ");

    // Saving reads every control back; a number out of range fails with a
    // message.
    CMessageBoxRecorder boxes;
    dlg.SetDlgItemText(19, L" 301");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    ASSERT_EQ(boxes.Entries().size(), 1u);
    EXPECT_EQ(boxes.Entries()[0].text, L"Please enter an integer between 10 and 300.");
    dlg.SetDlgItemText(19, L"-x");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_EQ(boxes.Entries()[1].text, L"Please enter an integer.");
    dlg.SetDlgItemText(19, L"+120 ");
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ((std::vector<int> { dlg.m_mute, dlg.m_pan, dlg.m_volume, dlg.m_song, dlg.m_percent }),
        (std::vector<int> { 0, 0, 500, -1, 120 }));

    // Escape cancels, which hides a modeless dialog; the window stays.
    dlg.ShowWindow(SW_SHOW);
    dlg.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_FALSE(IsWindow(level));
}

using QtWindowControls = QtDialogTest;

// The same strip on screen: the widgets show what the controls hold, and
// the user's clicks, drags, keys and drops reach the dialog as headless.
TEST_F(QtWindowControls, StripOnScreenTakesTheUsersInput)
{
    CStripDlg dlg;
    ASSERT_TRUE(dlg.CreateIndirect(Strip()));
    dlg.ShowWindow(SW_SHOW);
    QWidget* window = WidgetOfWindow(dlg.m_hWnd);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    auto widget = [&](int id) { return WidgetOfWindow(dlg.GetDlgItem(id)->m_hWnd); };
    auto* mute = dynamic_cast<QCheckBox*>(widget(11));
    auto* right = dynamic_cast<QAbstractButton*>(widget(14));
    auto* slider = dynamic_cast<QSlider*>(widget(15));
    auto* progress = dynamic_cast<QProgressBar*>(widget(16));
    auto* tree = dynamic_cast<QTreeWidget*>(widget(18));
    ASSERT_TRUE(mute && right && slider && progress && tree);
    EXPECT_TRUE(mute->isChecked());
    EXPECT_TRUE(right->isChecked());
    EXPECT_EQ(slider->maximum(), 1000);
    EXPECT_EQ(slider->value(), 300);
    dlg.Send(16, PBM_SETPOS, 40);
    EXPECT_EQ(progress->value(), 40);
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("Verse"));
    EXPECT_EQ(tree->topLevelItem(1)->text(1), QStringLiteral("2:05"));
    EXPECT_TRUE(tree->topLevelItem(1)->font(0).bold());
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(1));

    // Through the window, past the group box drawn around them.
    for (QWidget* button : { static_cast<QWidget*>(mute), widget(12) })
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, button->mapTo(window, button->rect().center()));
    EXPECT_EQ(dlg.Told(), "11:0 12:0 ");
    EXPECT_EQ(dlg.IsDlgButtonChecked(11), 0u);
    EXPECT_FALSE(right->isChecked());

    QTest::keyClick(slider, Qt::Key_Right);
    slider->setSliderDown(true);
    slider->setSliderPosition(640);
    slider->setSliderDown(false);
    EXPECT_EQ(dlg.Told(), "scroll:1:0 scroll:8:0 scroll:5:640 scroll:4:640 scroll:8:0 ");
    EXPECT_EQ(dlg.Send(15, TBM_GETPOS), 640);

    QWidget* rows = tree->viewport();
    auto row = [&](int index) { return tree->visualItemRect(tree->topLevelItem(index)).center(); };
    QTest::mouseClick(rows, Qt::LeftButton, {}, row(2));
    QTest::mouseDClick(rows, Qt::LeftButton, {}, row(2));
    EXPECT_EQ(dlg.Told(), "18:1 18:2 ");
    QTest::mousePress(rows, Qt::LeftButton, {}, row(0));
    QTest::mouseMove(rows, row(2));
    QTest::mouseRelease(rows, Qt::LeftButton, {}, row(2));
    EXPECT_EQ(dlg.Told(), "18:1 move:0>2 ");
    EXPECT_EQ(dlg.Song(2), L"Intro\t0:31");
    EXPECT_EQ(tree->topLevelItem(2)->text(0), QStringLiteral("Intro"));
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(2));
    QTest::keyClick(tree, Qt::Key_Delete);
    EXPECT_EQ(dlg.Told(), "key:46@2 ");
    EXPECT_EQ(tree->topLevelItemCount(), 2);

    // Files dropped on the list reach the dialog that accepts them.
    DragAcceptFiles(dlg.m_hWnd, TRUE);
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(QStringLiteral("/tmp/a.mid")), QUrl::fromLocalFile(QStringLiteral("/tmp/b.mid")) });
    const QPointF at = rows->mapTo(window, row(0));
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->windowHandle(), &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->windowHandle(), &drop);
    // The files arrive once the drop has been answered.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dlg.Told(), "drop:2 ");

    dlg.GetDlgItem(15)->EnableWindow(FALSE);
    EXPECT_FALSE(slider->isEnabled());
    const QImage level = widget(17)->grab().toImage();
    EXPECT_EQ(level.size(), QSize(160, 20));
    EXPECT_EQ(level.pixel(159, 19) & 0xFFFFFFu, 0x00C800u);
    QTest::mouseClick(widget(17), Qt::LeftButton);
    EXPECT_EQ(dlg.Told(), "17:0 ");

    QPointer<QWidget> shown(window);
    dlg.DestroyWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shown.isNull());
}
