#include "platform/gdi/CPaintDC.h"
#include "platform/ui/CDialogTemplate.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/WindowHandle.h"
#include "tests/QtDialogTest.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QThread>

#include <functional>
#include <thread>
#include <vector>

namespace {

// A dialog that notes the messages it is interested in.
class CNotingDlg : public CDialog {
public:
    explicit CNotingDlg(UINT id = 0, CWnd* parent = nullptr) : CDialog(id, parent) { }

    std::vector<MSG> m_seen;
    std::function<bool(UINT, WPARAM, LPARAM)> m_handler;
    bool m_destroyOnCancel { false };
    bool m_offGuiThread { false };

    int Count(UINT message, WPARAM wParam) const
    {
        int count = 0;
        for (const MSG& m : m_seen)
            count += m.message == message && m.wParam == wParam ? 1 : 0;
        return count;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN || message == WM_CLOSE || message == WM_LBUTTONDOWN || message == WM_USER + 1
            || message == WM_SIZE) {
            m_seen.push_back({ m_hWnd, message, wParam, lParam });
            m_offGuiThread = m_offGuiThread || QThread::currentThread() != qApp->thread();
        }
        if (m_handler && m_handler(message, wParam, lParam))
            return 0;
        return CDialog::WindowProc(message, wParam, lParam);
    }
    void OnCancel() override
    {
        if (m_destroyOnCancel)
            DestroyWindow();
        else
            CDialog::OnCancel();
    }
};

CDialogTemplate Tool(const char* style)
{
    CDialogTemplate t;
    EXPECT_TRUE(t.Parse(std::string("caption \"Tool\"\nsize 100 50\nstyle WS_POPUP|WS_CAPTION|WS_SYSMENU|") + style));
    return t;
}

// Runs the event loop until the condition holds, at most two seconds.
bool Settle(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

}

using QtModeless = QtDialogTest;

// A tool window beside the running face: each takes its own keys and posts
// from another thread, the close box and Escape reach the tool's handlers,
// and a modal dialog over the face still blocks it.
TEST_F(QtModeless, AToolWindowRunsBesideTheFace)
{
    CNotingDlg face(102);
    CNotingDlg tool;
    // Left open when the face ends: its window goes with the face's.
    CNotingDlg leftOpen;
    QPointer<QWidget> toolWindow;
    int faceClicksWhileModal = -1;
    face.m_handler = [&](UINT message, WPARAM, LPARAM) {
        if (message != WM_USER + 2)
            return false;
        EXPECT_TRUE(tool.CreateIndirect(Tool("WS_VISIBLE"), &face));
        EXPECT_TRUE(leftOpen.CreateIndirect(Tool("WS_VISIBLE"), &face));
        toolWindow = WidgetOfWindow(tool.m_hWnd);
        EXPECT_TRUE(tool.IsWindowVisible() && toolWindow->isVisible() && !toolWindow->isModal());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(toolWindow));
        HWND handles[] = { face.m_hWnd, tool.m_hWnd };
        std::thread poster([&handles]() {
            for (int i = 0; i < 100; ++i) {
                for (HWND h : handles)
                    PostMessageW(h, WM_USER + 1, 7, i);
            }
        });
        poster.join();
        EXPECT_TRUE(Settle([&]() { return face.Count(WM_USER + 1, 7) == 100 && tool.Count(WM_USER + 1, 7) == 100; }));

        // Keys typed into each window, as the desktop delivers them.
        QWidget* faceWindow = WidgetOfWindow(face.m_hWnd);
        QTest::keyClick(toolWindow->windowHandle(), Qt::Key_M);
        QTest::keyClick(faceWindow->windowHandle(), Qt::Key_L);
        EXPECT_EQ((std::vector<int> { tool.Count(WM_KEYDOWN, 'M'), tool.Count(WM_KEYDOWN, 'L') }),
            (std::vector<int> { 1, 0 }));
        EXPECT_EQ((std::vector<int> { face.Count(WM_KEYDOWN, 'M'), face.Count(WM_KEYDOWN, 'L') }),
            (std::vector<int> { 0, 1 }));
        // X held in the face goes on repeating into the tool it opened:
        // nothing happens there, whether Qt marks the repeat or the X
        // server's release and press of it arrive apart (same time).
        auto sendX = [&](QEvent::Type type, bool autoRepeat, quint64 time) {
            QKeyEvent event(type, Qt::Key_X, Qt::NoModifier, 53, 'x', 0, QStringLiteral("x"), autoRepeat);
            event.setTimestamp(time);
            QApplication::sendEvent(toolWindow, &event);
        };
        sendX(QEvent::KeyPress, true, 100);
        sendX(QEvent::KeyRelease, false, 130);
        sendX(QEvent::KeyPress, false, 130);
        EXPECT_EQ(tool.Count(WM_KEYDOWN, 'X'), 0);
        sendX(QEvent::KeyRelease, false, 160);
        sendX(QEvent::KeyPress, false, 900);
        EXPECT_EQ(tool.Count(WM_KEYDOWN, 'X'), 1) << "a new press acts";

        // The close box hides the tool by default; shown again, it is the same.
        toolWindow->close();
        EXPECT_EQ(tool.Count(WM_CLOSE, 0), 1);
        EXPECT_FALSE(tool.IsWindowVisible() || toolWindow->isVisible());
        tool.ShowWindow(SW_SHOW);
        EXPECT_TRUE(toolWindow->isVisible());

        CNotingDlg settings(132, &face);
        Later([&]() {
            const int before = face.Count(WM_LBUTTONDOWN, MK_LBUTTON);
            QTest::mouseClick(faceWindow->windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
            faceClicksWhileModal = face.Count(WM_LBUTTONDOWN, MK_LBUTTON) - before;
            settings.EndDialog(IDOK);
        });
        EXPECT_EQ(RunModal(settings), IDOK);

        // A tool destroyed from its own handler goes, the face stays.
        tool.m_destroyOnCancel = true;
        QTest::keyClick(toolWindow, Qt::Key_Escape);
        EXPECT_FALSE(IsWindow(tool.m_hWnd));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(toolWindow.isNull());
        face.EndDialog(IDOK);
        return true;
    };
    Later([&]() { face.PostMessage(WM_USER + 2); });
    EXPECT_EQ(RunModal(face), IDOK);
    EXPECT_EQ(faceClicksWhileModal, 0);
    EXPECT_FALSE(tool.m_offGuiThread || face.m_offGuiThread);
    // It goes on headless.
    EXPECT_FALSE(leftOpen.IsWindowVisible());
    EXPECT_TRUE(leftOpen.PostMessage(WM_USER + 1, 9));
    EXPECT_EQ(DispatchPostedMessages(leftOpen.m_hWnd), 1);
}

namespace {

// A window its owner draws: each paint fills exactly the part to paint.
class CCanvasDlg : public CNotingDlg {
public:
    COLORREF m_colour { RGB(200, 0, 0) };
    std::vector<RECT> m_painted;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT) {
            CPaintDC dc(this);
            m_painted.push_back(dc.m_ps.rcPaint);
            dc.FillSolidRect(&dc.m_ps.rcPaint, m_colour);
            return 0;
        }
        // Escape leaves full screen before it closes anything.
        if (message == WM_KEYDOWN && wParam == VK_ESCAPE && IsWindowFullScreen(m_hWnd)) {
            SetWindowFullScreen(m_hWnd, FALSE);
            return 0;
        }
        return CNotingDlg::WindowProc(message, wParam, lParam);
    }
};

std::vector<LONG> Edges(const RECT& r)
{
    return { r.left, r.top, r.right, r.bottom };
}

// Resizes the canvas, repaints a part of it, and takes it full screen (the
// size given; headless keeps its own) and back; settle lets the window
// paint, pixels reads what it shows.
void CheckCanvas(CCanvasDlg& canvas, const std::function<void()>& settle, const std::function<QImage()>& pixels,
    QSize fullScreen)
{
    canvas.MoveWindow(40, 30, 240, 120);
    settle();
    RECT rect;
    canvas.GetWindowRect(&rect);
    EXPECT_EQ(Edges(rect), (std::vector<LONG> { 40, 30, 280, 150 }));
    ASSERT_FALSE(canvas.m_seen.empty());
    EXPECT_EQ(canvas.m_seen.back().lParam, MAKELPARAM(240, 120));
    ASSERT_FALSE(canvas.m_painted.empty());
    EXPECT_EQ(Edges(canvas.m_painted.back()), (std::vector<LONG> { 0, 0, 240, 120 }));

    canvas.m_painted.clear();
    canvas.m_colour = RGB(0, 0, 250);
    const RECT part { 10, 20, 30, 40 };
    canvas.InvalidateRect(&part);
    settle();
    ASSERT_EQ(canvas.m_painted.size(), 1u) << "one paint, nothing more while nothing changes";
    EXPECT_EQ(Edges(canvas.m_painted[0]), Edges(part));
    const QImage shown = pixels();
    ASSERT_EQ(shown.size(), QSize(240, 120));
    int blue = 0;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 240; ++x) {
            const QRgb pixel = shown.pixel(x, y) & 0xFFFFFF;
            const bool inside = x >= 10 && x < 30 && y >= 20 && y < 40;
            blue += pixel == 0x0000FAu ? 1 : 0;
            EXPECT_EQ(pixel, inside ? 0x0000FAu : 0xC80000u) << x << "," << y;
            if (pixel != (inside ? 0x0000FAu : 0xC80000u))
                return;
        }
    }
    EXPECT_EQ(blue, 400);

    EXPECT_TRUE(SetWindowFullScreen(canvas.m_hWnd, TRUE));
    settle();
    EXPECT_EQ(QSize(canvas.m_hWnd->surface.width, canvas.m_hWnd->surface.height), fullScreen);
    WINDOWPLACEMENT placement;
    ASSERT_TRUE(canvas.GetWindowPlacement(&placement));
    EXPECT_EQ(Edges(placement.rcNormalPosition), (std::vector<LONG> { 40, 30, 280, 150 }));
    canvas.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    settle();
    EXPECT_FALSE(IsWindowFullScreen(canvas.m_hWnd));
    EXPECT_TRUE(canvas.IsWindowVisible());
    canvas.GetWindowRect(&rect);
    EXPECT_EQ(Edges(rect), (std::vector<LONG> { 40, 30, 280, 150 }));
    EXPECT_EQ(canvas.m_seen.back().lParam, MAKELPARAM(240, 120));
}

}

TEST(Modeless, HeadlessCanvasPaintsWhatIsInvalid)
{
    CCanvasDlg canvas;
    ASSERT_TRUE(canvas.CreateIndirect(Tool("WS_THICKFRAME|WS_VISIBLE")));
    EXPECT_TRUE(canvas.IsWindowVisible());
    const CPixelBuffer& surface = canvas.m_hWnd->surface;
    CheckCanvas(
        canvas, [&]() { UpdateWindow(canvas.m_hWnd); },
        [&]() {
            QImage image(reinterpret_cast<const uchar*>(surface.pixels.data()), surface.width, surface.height,
                QImage::Format_RGB32);
            return image.copy();
        },
        QSize(240, 120));
}

TEST_F(QtModeless, CanvasOnScreenShowsExactlyWhatItPaints)
{
    CCanvasDlg canvas;
    ASSERT_TRUE(canvas.CreateIndirect(Tool("WS_THICKFRAME|WS_VISIBLE")));
    QWidget* window = WidgetOfWindow(canvas.m_hWnd);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    CheckCanvas(
        canvas, [&]() { QTest::qWait(30); }, [&]() { return window->grab().toImage(); },
        QGuiApplication::primaryScreen()->geometry().size());
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(12, 34));
    ASSERT_FALSE(canvas.m_seen.empty());
    EXPECT_EQ(canvas.m_seen.back().message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(canvas.m_seen.back().lParam, MAKELPARAM(12, 34));
    // The user sizes it: the surface and WM_SIZE follow.
    window->resize(150, 80);
    QTest::qWait(30);
    EXPECT_EQ(canvas.m_hWnd->surface.width, 150);
    EXPECT_EQ(canvas.m_seen.back().lParam, MAKELPARAM(150, 80));
}
