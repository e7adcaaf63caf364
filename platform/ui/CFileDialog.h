#pragma once

#include "platform/ui/CDialog.h"

#include <functional>
#include <vector>

#define OFN_READONLY 0x00000001u
#define OFN_OVERWRITEPROMPT 0x00000002u
#define OFN_HIDEREADONLY 0x00000004u
#define OFN_ALLOWMULTISELECT 0x00000200u
#define OFN_PATHMUSTEXIST 0x00000800u
#define OFN_FILEMUSTEXIST 0x00001000u
// The platform's own: the dialog chooses a folder, not a file (the shell
// has this only in its newer dialog, as FOS_PICKFOLDERS).
#define OFN_PICKFOLDER 0x10000000u

// The part of the shell's file dialog settings the platform's dialog uses.
struct OPENFILENAMEW {
    // The folder the dialog opens in; null (or empty) for the default.
    LPCWSTR lpstrInitialDir { nullptr };
};

// The platform's file selection dialog. DoModal hands it to the runner the
// window backend installs (a real file dialog); a test installs its own
// runner that answers with SetPathName and never shows anything. Without a
// runner the dialog answers IDCANCEL.
class CFileDialog : public CDialog {
public:
    CFileDialog(BOOL openFileDialog, LPCWSTR defaultExt = nullptr, LPCWSTR fileName = nullptr,
        DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR filter = nullptr, CWnd* parent = nullptr);

    INT DoModal() override;

    // The chosen file's full path and its name without the folders; with
    // OFN_ALLOWMULTISELECT the first of those chosen.
    CString GetPathName() const { return m_path; }
    // Every file chosen, in the order the dialog gave them.
    const std::vector<CString>& GetPathNames() const { return m_paths; }
    CString GetFileName() const;
    // The chosen file's extension, without the dot.
    CString GetFileExt() const;

    BOOL IsOpenDialog() const { return m_bOpenFileDialog; }
    const CString& DefaultExt() const { return m_defaultExt; }
    const CString& InitialFileName() const { return m_fileName; }
    DWORD Flags() const { return m_flags; }
    const CString& Filter() const { return m_filter; }
    // Sets the answer; runners call it before returning IDOK.
    void SetPathName(const CString& path)
    {
        m_path = path;
        m_paths = { path };
    }
    // Several files at once (OFN_ALLOWMULTISELECT); none is IDCANCEL.
    void SetPathNames(std::vector<CString> paths)
    {
        m_path = paths.empty() ? CString() : paths.front();
        m_paths = std::move(paths);
    }

    // Set by the caller before DoModal; the strings must outlive it.
    OPENFILENAMEW m_ofn;

    // The filter in the form of Qt's file dialogs: "Midi Files (*.mid)|*.mid|
    // All Files (*.*)|*.*||" becomes "Midi Files (*.mid);;All Files (*)".
    static CString TranslateFilter(const CString& filter);

    // Returns IDOK after SetPathName, or IDCANCEL. Installing returns the
    // runner that was there before.
    using Runner = std::function<INT(CFileDialog& dialog)>;
    static Runner SetRunner(Runner runner);

private:
    BOOL m_bOpenFileDialog;
    CString m_defaultExt;
    CString m_fileName;
    DWORD m_flags;
    CString m_filter;
    CString m_path;
    std::vector<CString> m_paths;
};
