#include "app/CRecentFiles.h"

#include "app/DrumChannel.h"
#include "app/RegistryText.h"
#include "app/SongFileNames.h"

#include <algorithm>
#include <string>

namespace {

// Paths are longer than other values: up to the system's 4096 bytes.
constexpr DWORD kPathBufferSize = 4097;

CString ValueName(size_t index)
{
    return CString::FromUtf8("Recent" + std::to_string(index + 1));
}

// Puts path in front of files, once.
void MoveToFront(std::vector<CString>& files, const CString& path)
{
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    files.insert(files.begin(), path);
}

}

void CRecentFiles::Load()
{
    m_files.clear();
    m_opened.clear();
    for (size_t i = 0; i < kMaxFiles; ++i) {
        std::string bytes;
        if (!ReadRegBytes(HKEY_LOCAL_MACHINE, kSettingsKey, ValueName(i), bytes, kPathBufferSize) || bytes.empty())
            continue;
        CString path = CString::FromUtf8(bytes);
        if (std::find(m_files.begin(), m_files.end(), path) == m_files.end())
            m_files.push_back(path);
    }
}

BOOL CRecentFiles::Save() const
{
    CRecentFiles stored;
    stored.Load();
    std::vector<CString> files = stored.m_files;
    for (auto opened = m_opened.rbegin(); opened != m_opened.rend(); ++opened)
        MoveToFront(files, *opened);
    if (files.size() > kMaxFiles)
        files.resize(kMaxFiles);
    BOOL saved = TRUE;
    for (size_t i = 0; i < kMaxFiles; ++i) {
        // A value the list does not fill would come back as a stale entry.
        if (!(i < files.size() ? WriteRegBytes(HKEY_LOCAL_MACHINE, kSettingsKey, ValueName(i), files[i].ToUtf8())
                               : DeleteRegValue(HKEY_LOCAL_MACHINE, kSettingsKey, ValueName(i))))
            saved = FALSE;
    }
    return saved;
}

void CRecentFiles::Add(const CString& path)
{
    if (path.IsEmpty())
        return;
    MoveToFront(m_files, path);
    MoveToFront(m_opened, path);
    if (m_files.size() > kMaxFiles)
        m_files.resize(kMaxFiles);
    if (m_opened.size() > kMaxFiles)
        m_opened.resize(kMaxFiles);
}

CString CRecentFiles::LastFolder() const
{
    return m_files.empty() ? CString() : FolderOf(m_files.front());
}
