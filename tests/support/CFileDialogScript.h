#pragma once

#include "platform/ui/CFileDialog.h"

#include <vector>

// Answers every file dialog while it lives, without showing one: with the
// given path and IDOK, or with IDCANCEL when the path is empty. Records what
// each dialog asked for. Puts the previous runner back on exit. For tests
// and scripted runs, on the GUI thread.
class CFileDialogScript {
public:
    struct Request {
        BOOL open;
        CString defaultExt;
        CString fileName;
        DWORD flags;
        CString filter;
        CString initialDir;
    };

    explicit CFileDialogScript(const CString& answer)
        : m_answer(answer)
    {
        m_previous = CFileDialog::SetRunner([this](CFileDialog& dialog) {
            m_requests.push_back({ dialog.IsOpenDialog(), dialog.DefaultExt(), dialog.InitialFileName(), dialog.Flags(),
                dialog.Filter(), CString(dialog.m_ofn.lpstrInitialDir) });
            if (!m_answers.empty()) {
                dialog.SetPathNames(m_answers);
                return IDOK;
            }
            if (m_answer.IsEmpty())
                return IDCANCEL;
            dialog.SetPathName(m_answer);
            return IDOK;
        });
    }
    ~CFileDialogScript() { CFileDialog::SetRunner(std::move(m_previous)); }
    CFileDialogScript(const CFileDialogScript&) = delete;
    CFileDialogScript& operator=(const CFileDialogScript&) = delete;

    void SetAnswer(const CString& answer) { m_answer = answer; }
    // Several files chosen at once (a dialog with OFN_ALLOWMULTISELECT).
    void SetAnswers(std::vector<CString> answers) { m_answers = std::move(answers); }
    const std::vector<Request>& Requests() const { return m_requests; }

private:
    CString m_answer;
    std::vector<CString> m_answers;
    std::vector<Request> m_requests;
    CFileDialog::Runner m_previous;
};
