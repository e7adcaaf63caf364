#include "platform/ui/CFileDialog.h"

#include <mutex>
#include <vector>

namespace {

std::mutex g_runnerLock;
CFileDialog::Runner g_runner;

// "*.mid;*.midi" as "*.mid *.midi"; "*.*" matches everything, which Qt
// writes "*".
CString TranslatePatterns(const CString& patterns)
{
    std::wstring out;
    std::wstring p = patterns.Str();
    size_t start = 0;
    while (start <= p.size()) {
        size_t semi = p.find(L';', start);
        std::wstring one = p.substr(start, semi == std::wstring::npos ? std::wstring::npos : semi - start);
        CString trimmed(one);
        trimmed.Trim();
        if (!trimmed.IsEmpty()) {
            if (!out.empty())
                out += L' ';
            out += trimmed == L"*.*" ? std::wstring(L"*") : trimmed.Str();
        }
        if (semi == std::wstring::npos)
            break;
        start = semi + 1;
    }
    return CString(out);
}

}

CFileDialog::CFileDialog(BOOL openFileDialog, LPCWSTR defaultExt, LPCWSTR fileName, DWORD flags, LPCWSTR filter,
    CWnd* parent)
    : CDialog(0, parent)
    , m_bOpenFileDialog(openFileDialog)
    , m_defaultExt(defaultExt)
    , m_fileName(fileName)
    , m_flags(flags)
    , m_filter(filter)
{
}

CFileDialog::Runner CFileDialog::SetRunner(Runner runner)
{
    std::lock_guard<std::mutex> guard(g_runnerLock);
    Runner previous = std::move(g_runner);
    g_runner = std::move(runner);
    return previous;
}

INT CFileDialog::DoModal()
{
    Runner runner;
    {
        std::lock_guard<std::mutex> guard(g_runnerLock);
        runner = g_runner;
    }
    m_path.Empty();
    m_paths.clear();
    INT result = runner ? runner(*this) : IDCANCEL;
    if (result != IDOK) {
        m_path.Empty();
        m_paths.clear();
    }
    return result == IDOK && !m_path.IsEmpty() ? IDOK : IDCANCEL;
}

CString CFileDialog::GetFileName() const
{
    int slash = m_path.ReverseFind(L'/');
    return slash < 0 ? m_path : m_path.Mid(slash + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::TranslateFilter(const CString& filter)
{
    // The filter is pairs of description and patterns, each ended by '|';
    // an empty description ends the list.
    std::vector<std::wstring> parts;
    std::wstring f = filter.Str();
    size_t start = 0;
    while (start < f.size()) {
        size_t bar = f.find(L'|', start);
        parts.push_back(f.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
        if (bar == std::wstring::npos)
            break;
        start = bar + 1;
    }
    std::wstring out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty())
            break;
        CString name(parts[i]);
        int paren = name.ReverseFind(L'(');
        if (paren > 0 && name.Right(1) == L")")
            name = name.Left(paren);
        name.Trim();
        if (!out.empty())
            out += L";;";
        out += name.Str() + L" (" + TranslatePatterns(CString(parts[i + 1])).Str() + L")";
    }
    return CString(out);
}
