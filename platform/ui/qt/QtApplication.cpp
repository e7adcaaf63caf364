#include "platform/core/Console.h"
#include "platform/ui/CWinApp.h"
#include "platform/ui/qt/CQtMediaSession.h"
#include "platform/ui/qt/QtBackend.h"
#include "platform/ui/qt/QtWindows.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <memory>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const char* g_noDisplay = nullptr;
QtMessageHandler g_previousHandler = nullptr;
// What Qt says while it connects to the display: passed on once the
// connection works; when it fails, the one line of g_noDisplay says it all.
std::vector<std::pair<QtMsgType, QString>> g_startMessages;

void OnStartMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtFatalMsg) {
        // Qt cannot reach a display and is about to abort.
        std::fprintf(stderr, "%s\n", g_noDisplay);
        std::fflush(stderr);
        _exit(1);
    }
    g_startMessages.emplace_back(type, text);
}

bool DisplayNamed()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}

void PrepareQtDisplay()
{
    // The face repaints small areas some sixty times a second while a song
    // plays. Through shared memory each of them costs a completion event
    // from the X server, which wakes Qt's event reader and then the
    // interface thread a second time; sent over the connection instead, a
    // readout's few kilobytes cost one write and no wake.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
}

int RunApplication(int argc, char** argv, const char* noDisplay)
{
    g_noDisplay = noDisplay ? noDisplay : "no display";
    if (!DisplayNamed()) {
        std::fprintf(stderr, "%s\n", g_noDisplay);
        return 1;
    }
    // A display that is named but cannot be reached makes Qt abort while the
    // application object is made; that becomes the same message.
    g_previousHandler = qInstallMessageHandler(OnStartMessage);
    PrepareQtDisplay();
    QApplication app(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    for (const auto& [type, text] : g_startMessages) {
        if (g_previousHandler)
            g_previousHandler(type, QMessageLogContext(), text);
        else
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
    g_startMessages.clear();
    QApplication::setApplicationName(QStringLiteral("TabrinoCE"));
    InstallQtBackend();
    // The session bus only for the program itself: tests that install the
    // backend never touch the user's desktop.
    CQtMediaSession mediaSession;
    CMediaSessionService* previousSession = SetMediaSessionService(&mediaSession);

    // A signal caught by the console service ends the program as the close
    // boxes of its windows do.
    std::unique_ptr<QSocketNotifier> interrupt;
    if (InterruptWakeHandle() >= 0) {
        interrupt = std::make_unique<QSocketNotifier>(InterruptWakeHandle(), QSocketNotifier::Read);
        QObject::connect(interrupt.get(), &QSocketNotifier::activated, [&interrupt]() {
            interrupt->setEnabled(false);
            CloseAllWindows();
        });
    }

    int code = 0;
    if (CWinApp* winApp = AfxGetApp()) {
        winApp->m_argc = argc;
        winApp->m_argv = argv;
        // As in the framework: after FALSE the program ends at once; after
        // TRUE it runs until its last window is closed.
        if (winApp->InitInstance() && !QApplication::topLevelWidgets().isEmpty()) {
            QGuiApplication::setQuitOnLastWindowClosed(true);
            QApplication::exec();
        }
        code = winApp->ExitInstance();
    }
    interrupt.reset();
    SetMediaSessionService(previousSession);
    UninstallQtBackend();
    if (InterruptRequested())
        code = 128 + InterruptSignal();
    return code;
}
