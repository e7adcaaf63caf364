#include "platform/ui/qt/QtBackend.h"

#include "platform/core/MessageBox.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CFileDialog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/WindowHandle.h"
#include "platform/ui/WindowZoom.h"
#include "platform/ui/qt/CQtControl.h"
#include "platform/ui/qt/CQtDialogWindow.h"
#include "platform/ui/qt/CQtModelessWindow.h"
#include "platform/ui/qt/QtWindows.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <atomic>
#include <cstdio>
#include <vector>

// Defined beside their Qt widgets.
int RunQtFileDialog(CFileDialog& dialog);
int ShowQtMessageBox(HWND owner, const CString& text, const CString& caption, UINT type);
UINT RunQtPopupMenu(HMENU menu, int x, int y, HWND owner);

namespace {

struct Previous {
    bool installed { false };
    CFileDialog::Runner fileRunner;
    MessageBoxSink sink;
    PopupMenuRunner menuRunner;
};
Previous g_previous;
// The dialogs running now, the innermost last (GUI thread only).
std::vector<CQtDialogWindow*> g_running;
// Set by CloseAllWindows until no dialog runs any more; message boxes asked
// for by other threads read it.
std::atomic<bool> g_closingAll { false };

int FaceZoom(const CDialogTemplate& dialogTemplate)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    QRect available = screen ? screen->availableGeometry() : QRect();
    BOOL reduced = FALSE;
    const int requested = GetWindowZoom();
    int zoom = ChooseWindowZoom(requested, available.width(), available.height(), dialogTemplate.m_faceWidth,
        dialogTemplate.m_faceHeight, &reduced);
    if (reduced) {
        std::fprintf(stderr, "%s: zoom %d does not fit the screen (%d x %d); zoom %d is used\n",
            QFileInfo(QCoreApplication::applicationFilePath()).fileName().toLocal8Bit().constData(), requested,
            available.width(), available.height(), zoom);
    }
    return zoom;
}

int RunQtModal(CDialog& dialog)
{
    CDialogTemplate dialogTemplate;
    if (!dialogTemplate.Load(static_cast<int>(dialog.m_nIDTemplate)))
        return -1;
    QWidget* parent = dialog.m_pParentWnd ? WidgetOfWindow(dialog.m_pParentWnd->m_hWnd) : nullptr;
    const int zoom = dialogTemplate.IsFace() ? FaceZoom(dialogTemplate) : 1;
    auto* window = new CQtDialogWindow(dialog, dialogTemplate, zoom, parent);
    g_running.push_back(window);
    const bool created = window->Create();
    // Shown from its initialisation until it ends.
    if (created)
        dialog.m_hWnd->visible = true;
    int result = created ? window->RunModal() : -1;
    g_running.pop_back();
    if (g_running.empty())
        g_closingAll = false;
    if (result == -1)
        dialog.DestroyHandle();
    delete window;
    return result;
}

}

QWidget* TopDialogWindow()
{
    return g_running.empty() ? nullptr : g_running.back();
}

bool ClosingAllWindows()
{
    return g_closingAll;
}

void CloseAllWindows()
{
    g_closingAll = !g_running.empty();
    // Qt's own dialogs (message boxes, file dialogs) are rejected; every
    // running dialog is cancelled as by its close box, the innermost first.
    // Each modal loop then ends as control comes back to it.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* qtDialog = qobject_cast<QDialog*>(widget); qtDialog && qtDialog->isVisible())
            qtDialog->reject();
    }
    std::vector<CQtDialogWindow*> running(g_running.rbegin(), g_running.rend());
    for (CQtDialogWindow* window : running)
        window->Cancel();
}

QWidget* WidgetOfWindow(HWND hwnd)
{
    if (!IsWindow(hwnd) || !hwnd->backend)
        return nullptr;
    if (auto* window = dynamic_cast<CQtDialogWindow*>(hwnd->backend))
        return window;
    if (auto* control = dynamic_cast<CQtControl*>(hwnd->backend))
        return control->Widget();
    return nullptr;
}

void InstallQtBackend()
{
    if (g_previous.installed)
        return;
    // The program's end is decided by InitInstance, not by its last window.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    g_previous.installed = true;
    g_previous.fileRunner = CFileDialog::SetRunner(RunQtFileDialog);
    g_previous.sink = SetMessageBoxSink(ShowQtMessageBox);
    g_previous.menuRunner = SetPopupMenuRunner(RunQtPopupMenu);
    CDialog::SetModalRunner(RunQtModal);
    CDialog::SetModelessCreator(CQtModelessWindow::CreateFor);
    CQtModelessWindow::UseStyleColours();
}

void UninstallQtBackend()
{
    if (!g_previous.installed)
        return;
    CDialog::SetModalRunner(nullptr);
    CDialog::SetModelessCreator(nullptr);
    CFileDialog::SetRunner(std::move(g_previous.fileRunner));
    SetMessageBoxSink(std::move(g_previous.sink));
    SetPopupMenuRunner(std::move(g_previous.menuRunner));
    g_previous = Previous();
}
