#include "app/CRememberedSongs.h"

#include "platform/core/CString.h"
#include "platform/core/MessageBox.h"
#include "platform/registry/CConfigFileLock.h"
#include "platform/registry/CRegistryFile.h"
#include "player/CSongSettings.h"

#include <algorithm>

CRememberedSongs::CRememberedSongs(std::string path)
    : m_path(std::move(path))
{
}

std::string CRememberedSongs::Path() const
{
    return m_path.empty() ? CSongMemory::FilePath() : m_path;
}

void CRememberedSongs::Tell(const std::wstring& text)
{
    MessageBoxW(nullptr, text.c_str(), L"TabrinoCE", MB_OK | MB_ICONWARNING);
}

BOOL CRememberedSongs::ReadForWrite(CSongMemory& memory, BOOL& damaged)
{
    damaged = FALSE;
    switch (memory.Load(Path())) {
    case CSongMemory::LoadResult::Loaded:
    case CSongMemory::LoadResult::Missing:
        return TRUE;
    case CSongMemory::LoadResult::Damaged:
        damaged = TRUE;
        return TRUE;
    case CSongMemory::LoadResult::Unreadable:
        break;
    }
    if (!m_toldUnreadable) {
        m_toldUnreadable = TRUE;
        Tell(L"The song memory " + CString::FromUtf8(Path()).Str()
            + L" cannot be read; songs are not remembered while it stays so.");
    }
    return FALSE;
}

BOOL CRememberedSongs::Write()
{
    if (m_opened.empty())
        return TRUE;
    const std::string path = Path();
    CConfigFileLock lock(path);
    CSongMemory memory;
    BOOL damaged = FALSE;
    if (!ReadForWrite(memory, damaged))
        return FALSE;
    if (damaged) {
        // What the damaged file held is not lost: it stays beside the new one.
        if (!CRegistryFile::KeepDamagedCopy(path))
            return FALSE;
        Tell(L"The song memory " + CString::FromUtf8(path).Str()
            + L" was damaged. It is kept as " + CString::FromUtf8(path).Str()
            + L".damaged (or .damaged.N), and the player remembers songs afresh.");
    }
    // The songs opened here go in front, the latest first; of each only the
    // entries changed here replace what the file holds.
    const std::string before = damaged ? std::string() : memory.Format();
    for (const std::uint64_t hash : m_opened) {
        const Pending& pending = m_pending[hash];
        CSongMemory::Record record;
        if (!pending.forget) {
            if (const CSongMemory::Record* stored = memory.Find(hash))
                record = *stored;
        }
        for (const auto& [name, text] : pending.changes) {
            if (text)
                record[name] = *text;
            else
                record.erase(name);
        }
        memory.Put(hash, std::move(record));
    }
    memory.Trim();
    // Songs opened and left alone change nothing: the disk is spared the
    // write and its flushes.
    if (memory.Format() != before && !memory.Save(path))
        return FALSE;
    m_opened.clear();
    m_pending.clear();
    return TRUE;
}

void CRememberedSongs::NoteChanges(const CSongSettings& settings)
{
    if (!m_hasSong)
        return;
    const CSongMemory::Record now = settings.Capture();
    for (const auto& [name, text] : now) {
        const auto before = m_baseline.find(name);
        if (before != m_baseline.end() && before->second == text)
            continue;
        // Set back to the song's own value, the entry is not needed.
        const auto own = m_defaults.find(name);
        const bool isOwn = own != m_defaults.end() && own->second == text;
        m_pending[m_hash].changes[name] = isOwn ? std::nullopt : std::optional<std::string>(text);
        m_baseline[name] = text;
        // A write since the song opened took it off the list; it is still
        // the song opened last.
        if (std::find(m_opened.begin(), m_opened.end(), m_hash) == m_opened.end())
            m_opened.push_back(m_hash);
    }
}

BOOL CRememberedSongs::SongOpened(std::uint64_t hash, CSongSettings& settings)
{
    // What was noted for the songs before goes to the file first; a write
    // that fails keeps it for the next one.
    Write();
    m_hasSong = TRUE;
    m_hash = hash;
    m_defaults = settings.Capture();
    m_baseline = m_defaults;
    m_restored = m_defaults;
    m_remembered = FALSE;
    m_opened.erase(std::remove(m_opened.begin(), m_opened.end(), hash), m_opened.end());
    m_opened.push_back(hash);
    m_pending.try_emplace(hash);

    CSongMemory memory;
    const CSongMemory::LoadResult loaded = memory.Load(Path());
    // A damaged file is set aside (and the user told) at once.
    if (loaded == CSongMemory::LoadResult::Damaged)
        Write();
    if (loaded != CSongMemory::LoadResult::Loaded)
        return FALSE;
    const CSongMemory::Record* record = memory.Find(hash);
    if (!record)
        return FALSE;
    settings.Apply(*record);
    m_baseline = settings.Capture();
    m_restored = m_baseline;
    m_remembered = m_baseline != m_defaults ? TRUE : FALSE;
    return m_remembered;
}

void CRememberedSongs::LeaveSong(CSongSettings& settings)
{
    if (!m_hasSong)
        return;
    NoteChanges(settings);
    CSongMemory::Record own;
    for (const auto& [name, text] : m_restored) {
        const std::string& before = m_defaults[name];
        if (settings.Carried(name) && text != before && m_baseline[name] == text) {
            own[name] = before;
            m_baseline[name] = before;
            m_restored[name] = before;
        }
    }
    settings.Apply(own);
}

void CRememberedSongs::Forget(CSongSettings& settings)
{
    if (!m_hasSong)
        return;
    settings.Apply(m_defaults);
    m_baseline = m_defaults;
    m_restored = m_defaults;
    m_remembered = FALSE;
    Pending& pending = m_pending[m_hash];
    pending.forget = TRUE;
    pending.changes.clear();
    m_opened.erase(std::remove(m_opened.begin(), m_opened.end(), m_hash), m_opened.end());
    m_opened.push_back(m_hash);
    Write();
}
