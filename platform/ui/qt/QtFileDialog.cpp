#include "platform/ui/CFileDialog.h"
#include "platform/ui/qt/QtWindows.h"

#include <QFileDialog>

// Shows Qt's file dialog for a CFileDialog and answers IDOK with the chosen
// path, or IDCANCEL.
int RunQtFileDialog(CFileDialog& dialog)
{
    QWidget* parent = dialog.m_pParentWnd ? WidgetOfWindow(dialog.m_pParentWnd->m_hWnd) : nullptr;
    QFileDialog fileDialog(parent, QString(), ToQString(dialog.InitialFileName()),
        ToQString(CFileDialog::TranslateFilter(dialog.Filter())));
    if (dialog.IsOpenDialog()) {
        fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
        fileDialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        fileDialog.setAcceptMode(QFileDialog::AcceptSave);
        fileDialog.setFileMode(QFileDialog::AnyFile);
        fileDialog.setOption(QFileDialog::DontConfirmOverwrite, (dialog.Flags() & OFN_OVERWRITEPROMPT) == 0);
    }
    if (!dialog.DefaultExt().IsEmpty())
        fileDialog.setDefaultSuffix(ToQString(dialog.DefaultExt()));
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return IDCANCEL;
    dialog.SetPathName(FromQString(fileDialog.selectedFiles().first()));
    return IDOK;
}
