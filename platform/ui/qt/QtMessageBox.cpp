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
struct OpenBox {
    QPointer<QMessageBox> box;
    QString text;
    bool rich = false;
    int shown = 0;
    int counted = 0;
};
OpenBox g_open;

// A text as the box shows it. Lines of "key<tab>what it does" (the keyboard
// help) become a table, so the second column lines up however wide the
// first; anything else stays plain text.
QString Formatted(const QString& text, bool rich)
{
    if (!rich)
        return text;
    if (!text.contains(QLatin1Char('\t')))
        return QStringLiteral("<p>") + text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")) + QStringLiteral("</p>");
    QString table = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        table += QStringLiteral("<tr>");
        for (const QString& cell : line.split(QLatin1Char('\t')))
            table += QStringLiteral("<td style=\"padding-right: 16px\">") + cell.toHtmlEscaped() + QStringLiteral("</td>");
        table += QStringLiteral("</tr>");
    }
    return table + QStringLiteral("</table>");
}

// Fills a box that opens with its text.
void Opened(QMessageBox* box, const QString& text)
{
    const bool rich = text.contains(QLatin1Char('\t'));
    g_open = { box, Formatted(text, rich), rich, 1, 0 };
    box->setTextFormat(rich ? Qt::RichText : Qt::PlainText);
    box->setText(g_open.text);
}

// A message that comes while a box shows goes into that box: a flood of
// failures (files handed over by the hundred) is one box, not a stack of
// them, and nothing waits for an answer that changes nothing.
void Gather(const QString& text)
{
    const QString gap = g_open.rich ? QString() : QStringLiteral("\n\n");
    if (g_open.shown < kShownMessages) {
        g_open.text += gap + Formatted(text, g_open.rich);
        ++g_open.shown;
        g_open.box->setText(g_open.text);
    } else {
        ++g_open.counted;
        g_open.box->setText(
            g_open.text + gap + Formatted(QStringLiteral("... and %1 more").arg(g_open.counted), g_open.rich));
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
            if (g_open.box && onlyOk) {
                Gather(qText);
                return;
            }
            auto* box = new QMessageBox(IconFor(type), qCaption, QString(), ButtonsFor(type), TopDialogWindow());
            box->setAttribute(Qt::WA_DeleteOnClose);
            Opened(box, qText);
            box->show();
        }, Qt::QueuedConnection);
        return IDOK;
    }
    if (g_open.box && onlyOk) {
        Gather(qText);
        return IDOK;
    }
    QMessageBox box(IconFor(type), qCaption, QString(), ButtonsFor(type), TopDialogWindow());
    const OpenBox outer = g_open;
    Opened(&box, qText);
    const int result = ResultFor(box.exec());
    // A box asked for a decision inside another gives the gathering back.
    g_open = outer;
    return result;
}
