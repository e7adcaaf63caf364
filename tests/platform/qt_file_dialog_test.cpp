#include "platform/ui/CFileDialog.h"
#include "tests/QtDialogTest.h"
#include "tests/TempConfigHome.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>

namespace {

QFileDialog* VisibleFileDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

}

using QtFileDialog = QtDialogTest;

TEST_F(QtFileDialog, ChoosesAFileThroughQtsDialog)
{
#if defined(__SANITIZE_THREAD__)
    // Qt's file dialog lists folders on a thread of its own that Qt (built
    // without ThreadSanitizer) stops in a way the sanitizer cannot follow.
    GTEST_SKIP() << "Qt's file system thread is not instrumented";
#endif
    TempConfigHome folder;
    // A name in Latin-1, not UTF-8: Qt shows it with U+FFFD, and the answer
    // still names the file by its bytes.
    std::string song = folder.Dir() + "/Lied \xe4.mid";
    std::ofstream(song) << "MThd";
    const wchar_t* filter = L"Midi Files (*.mid;*.kar)|*.mid;*.kar|All Files (*.*)|*.*||";

    QStringList filters;
    QString shownFolder;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, []() {
        if (QFileDialog* d = VisibleFileDialog())
            d->reject();
    });
    watchdog.start(30000);

    Later([&]() {
        QFileDialog* dialog = VisibleFileDialog();
        if (!dialog)
            return;
        filters = dialog->nameFilters();
        shownFolder = dialog->directory().absolutePath();
        dialog->selectFile(QFile::decodeName(QByteArray::fromStdString(song)));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    CFileDialog open(TRUE, L"mid", L"", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter);
    const CString initialFolder = CString::FromUtf8(folder.Dir());
    open.m_ofn.lpstrInitialDir = initialFolder;
    EXPECT_EQ(open.DoModal(), IDOK);
    EXPECT_EQ(open.GetPathName().ToUtf8(), song);
    EXPECT_EQ(shownFolder.toStdString(), folder.Dir());
    EXPECT_EQ(filters, QStringList({ QStringLiteral("Midi Files (*.mid *.kar)"), QStringLiteral("All Files (*)") }));

    Later([&]() {
        if (QFileDialog* dialog = VisibleFileDialog())
            dialog->reject();
    });
    CFileDialog cancelled(TRUE, L"mid", L"", OFN_HIDEREADONLY, filter);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_TRUE(cancelled.GetPathName().IsEmpty());
}
