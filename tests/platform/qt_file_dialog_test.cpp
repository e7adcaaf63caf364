#include "platform/ui/CFileDialog.h"
#include "tests/QtDialogTest.h"
#include "tests/TempConfigHome.h"

#include <QApplication>
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
    std::string song = folder.Dir() + "/song.mid";
    std::ofstream(song) << "MThd";
    const wchar_t* filter = L"Midi Files (*.mid)|*.mid|All Files (*.*)|*.*||";

    QStringList filters;
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
        dialog->selectFile(QString::fromStdString(song));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    CFileDialog open(TRUE, L"mid", L"", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter);
    EXPECT_EQ(open.DoModal(), IDOK);
    EXPECT_EQ(open.GetPathName(), CString::FromUtf8(song));
    EXPECT_EQ(open.GetFileName(), L"song.mid");
    EXPECT_EQ(filters, QStringList({ QStringLiteral("Midi Files (*.mid)"), QStringLiteral("All Files (*)") }));

    Later([&]() {
        if (QFileDialog* dialog = VisibleFileDialog())
            dialog->reject();
    });
    CFileDialog cancelled(TRUE, L"mid", L"", OFN_HIDEREADONLY, filter);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_TRUE(cancelled.GetPathName().IsEmpty());
}
