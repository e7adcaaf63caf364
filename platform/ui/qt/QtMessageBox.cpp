#include "platform/core/Console.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/qt/QtWindows.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

#include <cstdio>

namespace {

QMessageBox::Icon IconFor(UINT type)
{
    switch (type & 0xF0u) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsFor(UINT type)
{
    switch (type & 0x0Fu) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

int ResultFor(int button)
{
    switch (button) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDOK;
    }
}

}

// The message box sink of the Qt backend: a box with no owner window, shown
// centred over the dialog running now. A box asked for by another thread is
// shown by the GUI thread without waiting for it and answers IDOK at once:
// that thread must not block on the GUI thread, which may itself be waiting
// for it. While a signal ends the program no box is shown: the text goes to
// standard error.
int ShowQtMessageBox(HWND, const CString& text, const CString& caption, UINT type)
{
    QString qText = ToQString(text);
    QString qCaption = ToQString(caption);
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return IDOK;
    if (InterruptRequested()) {
        std::fprintf(stderr, "%s%s%s\n", qCaption.toLocal8Bit().constData(), qCaption.isEmpty() ? "" : ": ",
            qText.toLocal8Bit().constData());
        return IDCANCEL;
    }
    if (QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(app, [qText, qCaption, type]() {
            auto* box = new QMessageBox(IconFor(type), qCaption, qText, ButtonsFor(type), TopDialogWindow());
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->show();
        }, Qt::QueuedConnection);
        return IDOK;
    }
    QMessageBox box(IconFor(type), qCaption, qText, ButtonsFor(type), TopDialogWindow());
    return ResultFor(box.exec());
}
