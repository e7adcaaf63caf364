#include "platform/core/MessageBox.h"
#include "platform/gdi/CClientDC.h"
#include "platform/ui/CWnd.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/Icon.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Timer.h"
#include "platform/ui/qt/QtPopupMenu.h"
#include "platform/ui/WindowHandle.h"
#include "tests/QtDialogTest.h"

#include <QImage>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QMessageBox>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <thread>
#include <vector>

namespace {

// A dialog on the main template that records the messages it receives.
class CRecordingDlg : public CDialog {
public:
    explicit CRecordingDlg(UINT id = 102, CWnd* parent = nullptr) : CDialog(id, parent) { }

    std::vector<MSG> m_received;
    std::function<void()> m_onInit;
    std::function<void(UINT, WPARAM, LPARAM)> m_onMessage;
    bool m_windowAliveAtDestroy { false };

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_onInit)
            m_onInit();
        return TRUE;
    }
    BOOL DestroyWindow() override
    {
        m_windowAliveAtDestroy = WidgetOfWindow(m_hWnd) != nullptr && WidgetOfWindow(m_hWnd)->isVisible();
        return CDialog::DestroyWindow();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_PAINT && message != WM_ERASEBKGND)
            m_received.push_back({ m_hWnd, message, wParam, lParam });
        if (m_onMessage)
            m_onMessage(message, wParam, lParam);
        return CDialog::WindowProc(message, wParam, lParam);
    }
    std::vector<MSG> Mouse() const
    {
        std::vector<MSG> out;
        for (const MSG& m : m_received) {
            if (m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONUP
                || (m.message == WM_MOUSEMOVE && (m.wParam & MK_LBUTTON)))
                out.push_back(m);
        }
        return out;
    }
};

short X(const MSG& m) { return static_cast<short>(LOWORD(static_cast<std::uintptr_t>(m.lParam))); }
short Y(const MSG& m) { return static_cast<short>(HIWORD(static_cast<std::uintptr_t>(m.lParam))); }

}

using QtDialog = QtDialogTest;

TEST_F(QtDialog, PostsFromAnotherThreadAreDeliveredOnTheGuiThreadInOrder)
{
    CRecordingDlg dialog;
    std::thread poster;
    std::vector<WPARAM> order;
    bool allOnGuiThread = true;
    const int count = 200;
    dialog.m_onInit = [&]() {
        HWND hwnd = dialog.m_hWnd;
        poster = std::thread([hwnd]() {
            for (int i = 0; i < count; ++i)
                PostMessageW(hwnd, WM_USER + 1, static_cast<WPARAM>(i), 0);
        });
    };
    dialog.m_onMessage = [&](UINT message, WPARAM wParam, LPARAM) {
        if (message != WM_USER + 1)
            return;
        allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread();
        order.push_back(wParam);
        if (order.size() == count)
            dialog.EndDialog(IDOK);
    };
    EXPECT_EQ(RunModal(dialog), IDOK);
    poster.join();
    EXPECT_TRUE(allOnGuiThread);
    ASSERT_EQ(order.size(), static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(order[i], static_cast<WPARAM>(i));
    // After the dialog ended its handle is gone and posts fail.
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(QtDialog, StylusAtZoomTwoArrivesInFacePixels)
{
    SetWindowZoom(2);
    CRecordingDlg dialog;
    QSize size;
    Later([&]() {
        QWidget* window = WidgetOfWindow(dialog.m_hWnd);
        ASSERT_NE(window, nullptr);
        size = window->size();
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(101, 51));
        QTest::mouseMove(window, QPoint(120, 61));
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(121, 60));
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(479, 535));
        dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(RunModal(dialog), IDOK);
    EXPECT_EQ(size, QSize(480, 536));
    std::vector<MSG> mouse = dialog.Mouse();
    ASSERT_GE(mouse.size(), 4u);
    EXPECT_EQ(mouse.front().message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(mouse.front().wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(X(mouse.front()), 50);
    EXPECT_EQ(Y(mouse.front()), 25);
    const MSG& up = mouse[mouse.size() - 3];
    EXPECT_EQ(up.message, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(up.wParam, 0u);
    EXPECT_EQ(X(up), 60);
    EXPECT_EQ(Y(up), 30);
    EXPECT_EQ(X(mouse.back()), 239);
    EXPECT_EQ(Y(mouse.back()), 267);
}

TEST_F(QtDialog, StylusOutsideTheWindowKeepsItsSign)
{
    SetWindowZoom(3);
    CRecordingDlg dialog;
    Later([&]() {
        QWidget* window = WidgetOfWindow(dialog.m_hWnd);
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(-1, -4));
        dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(RunModal(dialog), IDOK);
    std::vector<MSG> mouse = dialog.Mouse();
    ASSERT_FALSE(mouse.empty());
    EXPECT_EQ(mouse.back().message, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(X(mouse.back()), -1);
    EXPECT_EQ(Y(mouse.back()), -2);
}

// What the screen shows (the backing store the window flushes) and a grab
// are the face pixels zoomed, exactly, also after handlers drew parts anew
// through client DCs: a cell far from another, a change undone before it was
// shown, a pixel.
TEST_F(QtDialog, FacePixelsAreShownScaledWithoutBlendingAfterEveryRedraw)
{
    SetWindowZoom(2);
    CRecordingDlg dialog;
    std::vector<QImage> screens;
    std::vector<QImage> grabs;
    std::vector<CPixelBuffer> faces;
    dialog.m_onInit = [&]() {
        CPixelBuffer& surface = dialog.m_hWnd->surface;
        for (size_t i = 0; i < surface.pixels.size(); ++i)
            surface.pixels[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0x00FFFFFFu;
    };
    const auto capture = [&]() {
        QWidget* widget = WidgetOfWindow(dialog.m_hWnd);
        screens.push_back(QGuiApplication::primaryScreen()->grabWindow(widget->winId()).toImage());
        grabs.push_back(widget->grab().toImage());
        faces.push_back(dialog.m_hWnd->surface);
    };
    dialog.m_onMessage = [&](UINT message, WPARAM step, LPARAM) {
        if (message != WM_USER + 1)
            return;
        CClientDC dc(&dialog);
        if (step == 0) {
            capture();
            const RECT cell { 10, 10, 20, 13 };
            const RECT far { 200, 250, 203, 260 };
            const RECT undone { 100, 100, 140, 120 };
            dc.FillSolidRect(&cell, RGB(255, 0, 0));
            dc.FillSolidRect(&far, RGB(0, 255, 0));
            CBitmap saved;
            saved.CreateCompatibleBitmap(&dc, 40, 20);
            CDC copy;
            copy.CreateCompatibleDC(&dc);
            CBitmap* old = copy.SelectObject(&saved);
            copy.BitBlt(0, 0, 40, 20, &dc, 100, 100, SRCCOPY);
            dc.FillSolidRect(&undone, RGB(0, 0, 255));
            dc.BitBlt(100, 100, 40, 20, &copy, 0, 0, SRCCOPY);
            copy.SelectObject(old);
        } else if (step == 1) {
            capture();
            dc.SetPixel(3, 4, RGB(1, 2, 3));
        } else {
            capture();
            dialog.EndDialog(IDOK);
        }
        if (step < 2)
            PostMessageW(dialog.m_hWnd, WM_USER + 1, step + 1, 0);
    };
    Later([&]() { PostMessageW(dialog.m_hWnd, WM_USER + 1, 0, 0); });
    EXPECT_EQ(RunModal(dialog), IDOK);
    ASSERT_EQ(faces.size(), 3u);
    for (size_t n = 0; n < faces.size(); ++n) {
        for (const QImage* shot : { &screens[n], &grabs[n] }) {
            ASSERT_EQ(shot->size(), QSize(480, 536)) << n;
            int wrong = 0;
            for (int y = 0; y < 536; ++y)
                for (int x = 0; x < 480; ++x)
                    wrong += (shot->pixel(x, y) & 0xFFFFFFu) != faces[n].At(x / 2, y / 2);
            EXPECT_EQ(wrong, 0) << (shot == &screens[n] ? "screen " : "grab ") << n;
        }
    }
}

TEST_F(QtDialog, EscapeEnterAndTheCloseBoxEndTheDialog)
{
    struct Case {
        std::function<void(QWidget*)> act;
        int result;
    };
    const Case cases[] = {
        { [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }, IDCANCEL },
        { [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }, IDOK },
        { [](QWidget* w) { QTest::keyClick(w, Qt::Key_Enter); }, IDOK },
        { [](QWidget* w) { w->close(); }, IDCANCEL },
    };
    for (const Case& c : cases) {
        CRecordingDlg dialog;
        bool visibleAfterClose = true;
        QWidget* window = nullptr;
        Later([&]() {
            window = WidgetOfWindow(dialog.m_hWnd);
            c.act(window);
        });
        EXPECT_EQ(RunModal(dialog), c.result);
        // The dialog's DestroyWindow ran while its window was still up.
        EXPECT_TRUE(dialog.m_windowAliveAtDestroy);
        EXPECT_EQ(dialog.m_hWnd, nullptr);
        ASSERT_FALSE(dialog.m_received.empty());
        EXPECT_EQ(dialog.m_received.back().message, static_cast<UINT>(WM_COMMAND));
        EXPECT_EQ(LOWORD(dialog.m_received.back().wParam), c.result);
        visibleAfterClose = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            visibleAfterClose = visibleAfterClose || w->isVisible();
        EXPECT_FALSE(visibleAfterClose);
    }
}

TEST_F(QtDialog, TitleIconCentreAndAZoomThatKeepsTheWindowOnTheScreen)
{
    CRecordingDlg dialog;
    QString initial, changed;
    bool hasIcon = false;
    LRESULT previous = 1;
    HICON icon = LoadIcon(nullptr, 128);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(nullptr, 128), icon);
    EXPECT_EQ(LoadIcon(nullptr, 999), nullptr);
    QPoint centre;
    QRect zoomed;
    dialog.m_onInit = [&]() {
        dialog.CenterWindow();
        QWidget* window = WidgetOfWindow(dialog.m_hWnd);
        centre = window->geometry().center();
        // Twice as large, from the middle of the screen: it moves up.
        ZoomWindow(dialog.m_hWnd, 2);
        zoomed = window->frameGeometry();
        ZoomWindow(dialog.m_hWnd, 1);
        initial = window->windowTitle();
        dialog.SetWindowText(L"TabrinoCE - song.mid");
        changed = window->windowTitle();
        previous = dialog.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        hasIcon = !window->windowIcon().isNull();
        dialog.EndDialog(IDOK);
    };
    EXPECT_EQ(RunModal(dialog), IDOK);
    EXPECT_EQ(initial, QStringLiteral("TabrinoCE"));
    EXPECT_EQ(changed, QStringLiteral("TabrinoCE - song.mid"));
    EXPECT_EQ(previous, 0);
    EXPECT_TRUE(hasIcon);
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(centre.x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(centre.y() - screen.center().y()), 1);
    EXPECT_EQ(zoomed.height(), 268 * 2);
    EXPECT_TRUE(screen.contains(zoomed)) << zoomed.y() << " " << zoomed.bottom();
}

TEST_F(QtDialog, NestedDialogsAndBoxesOpenCentredOverTheirParentAndTheirKeysStayThere)
{
    CRecordingDlg main;
    int nestedResult = 0;
    bool modalChild = false;
    bool mainStillOpen = false;
    QPoint mainCentre, childCentre, boxCentre;
    main.m_onMessage = [&](UINT message, WPARAM wParam, LPARAM) {
        if (message != WM_USER + 2)
            return;
        QWidget* mainWindow = WidgetOfWindow(main.m_hWnd);
        mainCentre = mainWindow->geometry().center();
        CRecordingDlg settings(132, &main);
        Later([&]() {
            QWidget* child = WidgetOfWindow(settings.m_hWnd);
            modalChild = child && child->parentWidget() == mainWindow && child->isModal();
            childCentre = child->geometry().center();
            Later([&]() {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                        boxCentre = box->geometry().center();
                        box->accept();
                    }
                }
            });
            MessageBoxW(nullptr, L"over the settings", L"", MB_OK);
            QTest::keyClick(child, Qt::Key_Return);
        });
        nestedResult = RunModal(settings);
        // Enter held down: its repeats reach the window below once the
        // dialog has closed, and must do nothing there.
        for (Qt::Key key : { Qt::Key_Return, Qt::Key_Escape, Qt::Key_Enter }) {
            QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(mainWindow, &repeat);
        }
        mainStillOpen = !main.IsEnding() && IsWindow(main.m_hWnd);
        main.EndDialog(IDOK);
    };
    main.m_onInit = [&]() {
        main.CenterWindow();
        main.PostMessage(WM_USER + 2);
    };
    EXPECT_EQ(RunModal(main), IDOK);
    EXPECT_EQ(nestedResult, IDOK);
    EXPECT_TRUE(modalChild);
    EXPECT_TRUE(mainStillOpen);
    EXPECT_LE((childCentre - mainCentre).manhattanLength(), 2)
        << childCentre.x() << "," << childCentre.y() << " " << mainCentre.x() << "," << mainCentre.y();
    EXPECT_LE((boxCentre - childCentre).manhattanLength(), 2) << boxCentre.x() << "," << boxCentre.y();
}

TEST_F(QtDialog, DroppedLocalFilesArriveAsDropFilesByTheirBytesAfterTheDropIsAnswered)
{
    CRecordingDlg dialog;
    bool acceptsBefore = true, acceptsAfter = false, answeredFirst = false;
    std::vector<std::string> dropped;
    dialog.m_onMessage = [&](UINT message, WPARAM wParam, LPARAM) {
        if (message != WM_DROPFILES)
            return;
        auto drop = reinterpret_cast<HDROP>(wParam);
        wchar_t name[64];
        for (UINT i = 0; i < DragQueryFileW(drop, 0xFFFFFFFFu, nullptr, 0); ++i) {
            EXPECT_EQ(DragQueryFileW(drop, i, name, 64), DragQueryFileW(drop, i, nullptr, 0));
            dropped.push_back(CString(name).ToUtf8());
        }
        // Cut to the buffer, always terminated.
        EXPECT_EQ(DragQueryFileW(drop, 0, name, 4), 3u);
        EXPECT_EQ(std::wstring(name), L"/tm");
    };
    Later([&]() {
        QWidget* window = WidgetOfWindow(dialog.m_hWnd);
        acceptsBefore = window->acceptDrops();
        DragAcceptFiles(dialog.m_hWnd, TRUE);
        acceptsAfter = window->acceptDrops();
        QMimeData data;
        data.setUrls({ QUrl::fromEncoded("file:///tmp/Lied%20%E4.mid"), QUrl(QStringLiteral("https://example.org/a.mid")),
            QUrl::fromEncoded("file://localhost/tmp/b.kar") });
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &drop);
        // The drag source has its answer before the files reach the dialog
        // (whose message about them could otherwise keep it waiting).
        answeredFirst = dropped.empty();
        Later([&]() { dialog.EndDialog(IDOK); });
    });
    EXPECT_EQ(RunModal(dialog), IDOK);
    EXPECT_TRUE(answeredFirst);
    EXPECT_FALSE(acceptsBefore);
    EXPECT_TRUE(acceptsAfter);
    EXPECT_EQ(dropped, (std::vector<std::string> { "/tmp/Lied \xe4.mid", "/tmp/b.kar" }));
}

TEST_F(QtDialog, MissingTemplateFailsWithoutAWindow)
{
    CRecordingDlg dialog(999);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    UninstallQtBackend();
    CRecordingDlg headless;
    EXPECT_EQ(headless.DoModal(), -1);
}

TEST(WindowZoom, DefaultFitsHalfTheScreenAndAZoomAskedForFallsBackToTheLargestThatFits)
{
    struct Case {
        int requested, width, height, zoom;
        BOOL reduced;
    };
    for (const Case& c : {
             Case { 0, 1920, 1080, 2, FALSE }, Case { 0, 1920, 1071, 1, FALSE }, Case { 0, 3840, 2160, 4, FALSE },
             Case { 0, 9000, 5000, 4, FALSE }, Case { 0, 640, 100, 1, FALSE }, Case { 0, 700, 5000, 2, FALSE },
             Case { 3, 1024, 768, 2, TRUE }, Case { 4, 1024, 768, 2, TRUE }, Case { 2, 1024, 768, 2, FALSE },
             Case { 3, 1280, 804, 3, FALSE }, Case { 3, 1280, 803, 2, TRUE }, Case { 4, 100, 100, 1, TRUE },
             Case { 3, 0, 0, 3, FALSE },
         }) {
        BOOL reduced = 2;
        EXPECT_EQ(ChooseWindowZoom(c.requested, c.width, c.height, 240, 268, &reduced), c.zoom)
            << c.requested << " on " << c.width << "x" << c.height;
        EXPECT_EQ(reduced, c.reduced) << c.requested << " on " << c.width << "x" << c.height;
    }
    EXPECT_FALSE(SetWindowZoom(5));
    EXPECT_FALSE(SetWindowZoom(-1));
    EXPECT_TRUE(SetWindowZoom(4));
    EXPECT_EQ(GetWindowZoom(), 4);
    SetWindowZoom(0);
}

TEST_F(QtDialog, InputRunsWhatItsHandlersPostAndSelfPostingStarvesNothing)
{
    CRecordingDlg dialog;
    int commandsAfterClick = -1;
    int spins = 0;
    dialog.m_onMessage = [&](UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_LBUTTONUP)
            dialog.PostMessage(WM_COMMAND, 1001, reinterpret_cast<LPARAM>(dialog.m_hWnd));
        if (message == WM_USER + 3) {
            ++spins;
            dialog.PostMessage(WM_USER + 3);
        }
    };
    dialog.m_onInit = [&]() { dialog.PostMessage(WM_USER + 3); };
    Later([&]() {
        QWidget* window = WidgetOfWindow(dialog.m_hWnd);
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(5, 5));
        commandsAfterClick = 0;
        for (const MSG& m : dialog.m_received)
            commandsAfterClick += m.message == WM_COMMAND && m.wParam == 1001 ? 1 : 0;
        QTest::keyClick(window, Qt::Key_Escape);
    });
    EXPECT_EQ(RunModal(dialog), IDCANCEL);
    EXPECT_EQ(commandsAfterClick, 1);
    EXPECT_GT(spins, 0);
}

// Keys reach a face as WM_KEYDOWN with virtual-key codes, the modifiers
// readable with GetKeyState; the digit row goes by its key code, so Shift+1
// is key 1 whatever character the layout gives it. Window timers run on Qt's
// clock, and a pop-up menu becomes a Qt menu with its shortcuts and marks.
TEST_F(QtDialog, KeysTimersAndMenusThroughTheBackend)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        quint32 scanCode;
        UINT vk;
        bool shift;
    };
    const Case cases[] = {
        { Qt::Key_Space, Qt::NoModifier, 0, VK_SPACE, false },
        { Qt::Key_Left, Qt::ShiftModifier, 0, VK_LEFT, true },
        { Qt::Key_PageUp, Qt::NoModifier, 0, VK_PRIOR, false },
        { Qt::Key_Plus, Qt::ShiftModifier, 0, VK_OEM_PLUS, true },
        { Qt::Key_Plus, Qt::KeypadModifier, 0, VK_ADD, false },
        { Qt::Key_Minus, Qt::NoModifier, 0, VK_OEM_MINUS, false },
        { Qt::Key_BracketLeft, Qt::NoModifier, 0, VK_OEM_4, false },
        { Qt::Key_BracketRight, Qt::NoModifier, 0, VK_OEM_6, false },
        { Qt::Key_Backspace, Qt::NoModifier, 0, VK_BACK, false },
        { Qt::Key_L, Qt::NoModifier, 0, 'L', false },
        { Qt::Key_O, Qt::ControlModifier, 0, 'O', false },
        { Qt::Key_F1, Qt::NoModifier, 0, VK_F1, false },
        { Qt::Key_0, Qt::NoModifier, 0, '0', false },
        { Qt::Key_Exclam, Qt::ShiftModifier, 10, '1', true },
        { Qt::Key_section, Qt::ShiftModifier, 12, '3', true },
        { Qt::Key_Exclam, Qt::ShiftModifier, 0, '1', true },
    };
    CRecordingDlg dialog;
    std::vector<std::pair<WPARAM, bool>> keys;
    std::vector<bool> control;
    int timers = 0;
    dialog.m_onMessage = [&](UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_KEYDOWN) {
            keys.emplace_back(wParam, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
            control.push_back((GetKeyState(VK_CONTROL) & 0x8000) != 0);
        }
        if (message == WM_TIMER && wParam == 7 && ++timers == 2) {
            KillTimer(dialog.m_hWnd, 7);
            dialog.EndDialog(IDOK);
        }
    };
    QString menuShown;
    Later([&]() {
        QWidget* window = WidgetOfWindow(dialog.m_hWnd);
        for (const Case& c : cases) {
            QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, c.scanCode, 0, 0, QString());
            QApplication::sendEvent(window, &press);
        }
        HMENU menu = CreatePopupMenu();
        HMENU sub = CreatePopupMenu();
        AppendMenuW(sub, MF_CHECKED, 11, L"Loop on\tL");
        AppendMenuW(sub, MF_GRAYED, 12, L"Clear");
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(sub), L"Loop");
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, 13, L"Quit\tCtrl+Q");
        QMenu shown;
        FillQtMenu(shown, menu);
        DestroyMenu(menu);
        for (QAction* action : shown.actions()) {
            menuShown += action->isSeparator() ? QStringLiteral("-") : action->text() + "=" + action->data().toString();
            if (QMenu* child = action->menu())
                for (QAction* inner : child->actions())
                    menuShown += QStringLiteral("[%1=%2%3%4]").arg(inner->text(), inner->data().toString(),
                        inner->isChecked() ? "+" : "", inner->isEnabled() ? "" : "!");
            menuShown += ";";
        }
        SetTimer(dialog.m_hWnd, 7, 10, nullptr);
    });
    EXPECT_EQ(RunModal(dialog), IDOK);
    ASSERT_EQ(keys.size(), std::size(cases));
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].first, cases[i].vk) << i;
        EXPECT_EQ(keys[i].second, cases[i].shift) << i;
        EXPECT_EQ(control[i], cases[i].modifiers == Qt::ControlModifier) << i;
    }
    EXPECT_EQ(menuShown.toStdString(), "Loop=[Loop on\tL=11+][Clear=12!];-;Quit\tCtrl+Q=13;");
}
