#include "platform/core/Console.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/qt/QtWindows.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>

#include <cstdio>

namespace {

// Messages gathered into the box that shows, one after the other; past
// this many they are only counted.
constexpr int kShownMessages = 12;

// The box that shows now (GUI thread only), its text as far as it is
// spelled out, and the messages only counted.
QPointer<QMessageBox> g_open;
QString g_openText;
int g_shown = 0;
int g_counted = 0;

void Opened(QMessageBox* box, const QString& text)
{
    g_open = box;
    g_openText = text;
    g_shown = 1;
    g_counted = 0;
}

// A message that comes while a box shows goes into that box: a flood of
// failures (files handed over by the hundred) is one box, not a stack of
// them, and nothing waits for an answer that changes nothing.
void Gather(const QString& text)
{
    if (g_shown < kShownMessages) {
        g_openText += QStringLiteral("\n\n") + text;
        ++g_shown;
        g_open->setText(g_openText);
    } else {
        ++g_counted;
        g_open->setText(g_openText + QStringLiteral("\n\n... and %1 more").arg(g_counted));
    }
}

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
// for it. A message with only an OK button that comes while a box shows is
// added to that box and answers IDOK at once. While a signal or a request
// to quit ends the program no box is shown: the text goes to standard
// error.
int ShowQtMessageBox(HWND, const CString& text, const CString& caption, UINT type)
{
    QString qText = ToQString(text);
    QString qCaption = ToQString(caption);
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return IDOK;
    if (InterruptRequested() || ClosingAllWindows()) {
        std::fprintf(stderr, "%s%s%s\n", qCaption.toLocal8Bit().constData(), qCaption.isEmpty() ? "" : ": ",
            qText.toLocal8Bit().constData());
        return IDCANCEL;
    }
    const bool onlyOk = (type & 0x0Fu) == MB_OK;
    if (QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(app, [qText, qCaption, type, onlyOk]() {
            if (g_open && onlyOk) {
                Gather(qText);
                return;
            }
            auto* box = new QMessageBox(IconFor(type), qCaption, qText, ButtonsFor(type), TopDialogWindow());
            box->setAttribute(Qt::WA_DeleteOnClose);
            Opened(box, qText);
            box->show();
        }, Qt::QueuedConnection);
        return IDOK;
    }
    if (g_open && onlyOk) {
        Gather(qText);
        return IDOK;
    }
    QMessageBox box(IconFor(type), qCaption, qText, ButtonsFor(type), TopDialogWindow());
    const QPointer<QMessageBox> outer = g_open;
    Opened(&box, qText);
    const int result = ResultFor(box.exec());
    // A box asked for a decision inside another gives the gathering back.
    g_open = outer;
    return result;
}
