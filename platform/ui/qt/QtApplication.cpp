#include "platform/ui/CWinApp.h"
#include "platform/ui/qt/QtBackend.h"

#include <QApplication>

int RunApplication(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TabrinoCE"));
    InstallQtBackend();
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
    UninstallQtBackend();
    return code;
}
