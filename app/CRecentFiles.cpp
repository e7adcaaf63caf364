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

}

void CRecentFiles::Load()
{
    m_files.clear();
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
    BOOL saved = TRUE;
    for (size_t i = 0; i < m_files.size(); ++i) {
        if (!WriteRegBytes(HKEY_LOCAL_MACHINE, kSettingsKey, ValueName(i), m_files[i].ToUtf8()))
            saved = FALSE;
    }
    return saved;
}

void CRecentFiles::Add(const CString& path)
{
    if (path.IsEmpty())
        return;
    m_files.erase(std::remove(m_files.begin(), m_files.end(), path), m_files.end());
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > kMaxFiles)
        m_files.resize(kMaxFiles);
}

CString CRecentFiles::LastFolder() const
{
    return m_files.empty() ? CString() : FolderOf(m_files.front());
}
