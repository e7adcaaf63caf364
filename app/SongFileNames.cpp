#include "app/SongFileNames.h"

#include <cwctype>

const wchar_t* const kSongFileFilter
    = L"Midi Files (*.mid;*.midi;*.kar;*.smf;*.rmi)|*.mid;*.midi;*.kar;*.smf;*.rmi|All Files (*.*)|*.*||";

BOOL IsMidiFileName(const CString& path)
{
    const CString name = FileNameOf(path);
    const int dot = name.ReverseFind(L'.');
    if (dot <= 0)
        return FALSE;
    std::wstring extension = name.Mid(dot + 1).Str();
    for (wchar_t& c : extension)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return extension == L"mid" || extension == L"midi" || extension == L"kar" || extension == L"smf"
        || extension == L"rmi";
}

CString FileNameOf(const CString& path)
{
    const int slash = path.ReverseFind(L'/');
    return slash < 0 ? path : path.Mid(slash + 1);
}

CString FolderOf(const CString& path)
{
    const int slash = path.ReverseFind(L'/');
    if (slash < 0)
        return CString();
    return slash == 0 ? CString(L"/") : path.Left(slash);
}
