#include "platform/ui/qt/QtBackend.h"

#include "platform/core/MessageBox.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CFileDialog.h"
#include "platform/ui/WindowHandle.h"
#include "platform/ui/WindowZoom.h"
#include "platform/ui/qt/CQtControl.h"
#include "platform/ui/qt/CQtDialogWindow.h"
#include "platform/ui/qt/QtWindows.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

// Defined beside their Qt widgets.
int RunQtFileDialog(CFileDialog& dialog);
int ShowQtMessageBox(HWND owner, const CString& text, const CString& caption, UINT type);

namespace {

struct Previous {
    bool installed { false };
    CFileDialog::Runner fileRunner;
    MessageBoxSink sink;
};
Previous g_previous;

int RunQtModal(CDialog& dialog)
{
    CDialogTemplate dialogTemplate;
    if (!dialogTemplate.Load(static_cast<int>(dialog.m_nIDTemplate)))
        return -1;
    QWidget* parent = dialog.m_pParentWnd ? WidgetOfWindow(dialog.m_pParentWnd->m_hWnd) : nullptr;
    int zoom = 1;
    if (dialogTemplate.IsFace()) {
        QScreen* screen = QGuiApplication::primaryScreen();
        int available = screen ? screen->availableGeometry().height() : 0;
        zoom = ChooseWindowZoom(GetWindowZoom(), available, dialogTemplate.m_faceHeight);
    }
    auto* window = new CQtDialogWindow(dialog, dialogTemplate, zoom, parent);
    int result = window->Create() ? window->RunModal() : -1;
    if (result == -1)
        dialog.DestroyHandle();
    delete window;
    return result;
}

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
    CDialog::SetModalRunner(RunQtModal);
}

void UninstallQtBackend()
{
    if (!g_previous.installed)
        return;
    CDialog::SetModalRunner(nullptr);
    CFileDialog::SetRunner(std::move(g_previous.fileRunner));
    SetMessageBoxSink(std::move(g_previous.sink));
    g_previous = Previous();
}
