#include "platform/ui/CFileDialog.h"
#include "platform/ui/qt/QtWindows.h"

#include <QFile>
#include <QFileDialog>

#include <dirent.h>
#include <sys/stat.h>

namespace {

// Qt decodes file names as UTF-8, so a name in another encoding comes back
// from the dialog with U+FFFD for its stray bytes and names no file. Each
// such part of the path is looked for again among the names in its folder:
// the one name that decodes to it is taken by its bytes.
std::string FileSystemPath(const QString& chosen)
{
    std::string path = QFile::encodeName(chosen).toStdString();
    struct stat info {};
    if (!chosen.contains(QChar::ReplacementCharacter) || ::stat(path.c_str(), &info) == 0)
        return path;
    std::string found;
    for (const QString& part : chosen.split(QLatin1Char('/'))) {
        if (part.isEmpty())
            continue;
        std::string bytes = QFile::encodeName(part).toStdString();
        if (part.contains(QChar::ReplacementCharacter)) {
            int matches = 0;
            if (DIR* folder = ::opendir(found.empty() ? "/" : found.c_str())) {
                while (const dirent* entry = ::readdir(folder)) {
                    if (QFile::decodeName(entry->d_name) == part && ++matches == 1)
                        bytes = entry->d_name;
                }
                ::closedir(folder);
            }
            if (matches != 1)
                return path;
        }
        found += "/" + bytes;
    }
    return found;
}

}

// Shows Qt's file dialog for a CFileDialog and answers IDOK with the chosen
// path, or IDCANCEL. Without OFN_FILEMUSTEXIST any name may be typed, as in
// the shell's dialog; whoever opens it reports a missing file.
int RunQtFileDialog(CFileDialog& dialog)
{
    QWidget* parent = dialog.m_pParentWnd ? WidgetOfWindow(dialog.m_pParentWnd->m_hWnd) : nullptr;
    QString folder;
    if (dialog.m_ofn.lpstrInitialDir && *dialog.m_ofn.lpstrInitialDir)
        folder = QFile::decodeName(QByteArray::fromStdString(CString(dialog.m_ofn.lpstrInitialDir).ToUtf8()));
    QFileDialog fileDialog(parent, QString(), folder, ToQString(CFileDialog::TranslateFilter(dialog.Filter())));
    if (!dialog.InitialFileName().IsEmpty())
        fileDialog.selectFile(ToQString(dialog.InitialFileName()));
    if (dialog.IsOpenDialog()) {
        fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (dialog.Flags() & OFN_PICKFOLDER)
            fileDialog.setFileMode(QFileDialog::Directory);
        else if (dialog.Flags() & OFN_ALLOWMULTISELECT)
            fileDialog.setFileMode(QFileDialog::ExistingFiles);
        else
            fileDialog.setFileMode((dialog.Flags() & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    } else {
        fileDialog.setAcceptMode(QFileDialog::AcceptSave);
        fileDialog.setFileMode(QFileDialog::AnyFile);
        fileDialog.setOption(QFileDialog::DontConfirmOverwrite, (dialog.Flags() & OFN_OVERWRITEPROMPT) == 0);
    }
    if (!dialog.DefaultExt().IsEmpty())
        fileDialog.setDefaultSuffix(ToQString(dialog.DefaultExt()));
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return IDCANCEL;
    std::vector<CString> paths;
    for (const QString& file : fileDialog.selectedFiles())
        paths.push_back(CString::FromUtf8(FileSystemPath(file)));
    dialog.SetPathNames(std::move(paths));
    return IDOK;
}
