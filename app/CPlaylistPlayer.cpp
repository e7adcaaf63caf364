#include "app/CPlaylistPlayer.h"

#include "app/CTabrinoDlg.h"
#include "app/FaceCommands.h"
#include "app/KeyBindings.h"
#include "app/NumberSettings.h"
#include "app/DrumChannel.h"
#include "app/RegistryText.h"
#include "app/SongFileNames.h"
#include "platform/core/MessageBox.h"
#include "platform/core/SongFolder.h"
#include "platform/registry/CRegistryFile.h"
#include "platform/ui/CFileDialog.h"
#include "platform/ui/Timer.h"
#include "player/CM3uList.h"

namespace {

const wchar_t* const kPlaylistFilter = L"Playlists (*.m3u8;*.m3u)|*.m3u8;*.m3u|All Files (*.*)|*.*||";
// The playlist's settings, beside the others in the registry.
const wchar_t* const kGapValue = L"SongGap";
const wchar_t* const kSubfoldersValue = L"Subfolders";
const wchar_t* const kRepeatValue = L"Repeat";
const wchar_t* const kShuffleValue = L"Shuffle";

int LoadSmallSetting(const wchar_t* name, int low, int high, int fallback)
{
    int value = fallback;
    LoadNumber(name, low, high, value);
    return value;
}

}

CPlaylistPlayer::CPlaylistPlayer(CTabrinoDlg& dialog)
    : m_dialog(dialog)
{
}

std::vector<CString> CPlaylistPlayer::DroppedSongs(HDROP drop)
{
    std::vector<CString> all;
    std::vector<CString> songs;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFFu, nullptr, 0);
    for (UINT i = 0; i < count && i < CM3uList::kMaxSongs; ++i) {
        std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        all.emplace_back(name);
        if (IsMidiFileName(all.back()) || CM3uList::IsListName(all.back()) || IsFolderPath(all.back()))
            songs.push_back(all.back());
    }
    DragFinish(drop);
    return songs.empty() ? all : songs;
}

std::vector<CM3uList::Song> CPlaylistPlayer::ListedSongs() const
{
    std::vector<CM3uList::Song> songs;
    for (const CPlaylist::Entry& entry : m_list.Entries())
        songs.push_back({ entry.path, entry.title, entry.micros < 0 ? -1 : (entry.micros + 500000) / 1000000 });
    return songs;
}

void CPlaylistPlayer::AssignListed(const std::vector<CM3uList::Song>& songs)
{
    std::vector<CString> paths;
    for (const CM3uList::Song& song : songs)
        paths.push_back(song.path);
    CancelGap();
    m_list.Assign(paths);
    // The titles and lengths the list kept show until each song is read.
    for (size_t i = 0; i < songs.size(); ++i) {
        m_list.Entries()[i].title = songs[i].title;
        m_list.Entries()[i].micros = songs[i].seconds < 0 ? -1 : songs[i].seconds * 1000000;
    }
    ++m_revision;
    ReadUnknown();
}

std::vector<CString> CPlaylistPlayer::Expand(const std::vector<CString>& paths) const
{
    return CM3uList::ExpandPaths(paths, m_subfolders);
}

BOOL CPlaylistPlayer::Playing() const
{
    return m_dialog.m_playerState.m_playState != STATE_STOPPED || m_afterGap >= 0;
}

void CPlaylistPlayer::OpenSongs(const std::vector<CString>& paths)
{
    const std::vector<CString> songs = Expand(paths);
    if (songs.empty()) {
        MessageBoxW(nullptr, L"No MIDI files in " + (paths.empty() ? CString() : paths.front()), L"", MB_OK);
        return;
    }
    CancelGap();
    // A new list whose first song cannot be read gives the old one back
    // (a file handed over by mistake takes no list with it).
    m_replaced = std::make_unique<CPlaylist>(m_list);
    m_list.Assign(songs);
    ++m_revision;
    ReadUnknown();
    if (m_list.Current() >= 0)
        Open(m_list.Current(), FALSE, TRUE, 1);
}

void CPlaylistPlayer::AddSongs(const std::vector<CString>& paths)
{
    const bool wasEmpty = m_list.Size() == 0;
    m_list.Add(Expand(paths));
    ++m_revision;
    ReadUnknown();
    if (wasEmpty && m_list.Current() >= 0)
        Open(m_list.Current(), FALSE, TRUE, 1);
}

void CPlaylistPlayer::PlayEntry(int index)
{
    if (index < 0 || index >= m_list.Size())
        return;
    // A song marked as failed gets another try when asked for by name.
    m_list.Entries()[static_cast<size_t>(index)].failed = false;
    Open(index, TRUE, TRUE, 1);
}

void CPlaylistPlayer::Next()
{
    const int next = m_list.NextIndex(false);
    if (next >= 0)
        Open(next, Playing(), FALSE, 1);
}

void CPlaylistPlayer::Previous()
{
    const int previous = m_list.PreviousIndex();
    if (previous >= 0)
        Open(previous, Playing(), FALSE, -1);
}

void CPlaylistPlayer::Remove(int index)
{
    m_list.Remove(index);
    ++m_revision;
}

void CPlaylistPlayer::Move(int from, int to)
{
    m_list.Move(from, to);
    ++m_revision;
}

void CPlaylistPlayer::Open(int index, BOOL play, BOOL chosen, int direction)
{
    CancelGap();
    m_opening = index;
    m_openingPath = m_list.Entries()[static_cast<size_t>(index)].path;
    m_playWhenInPlace = play;
    m_chosen = chosen;
    m_direction = direction;
    m_dialog.BeginOpen(m_openingPath, FileNameOf(m_openingPath));
}

void CPlaylistPlayer::OnSongInPlace(const CString& path, const CString& title, LONGLONG micros)
{
    int index = m_opening >= 0 && path == m_openingPath ? m_opening : -1;
    const BOOL play = index >= 0 && m_playWhenInPlace;
    if (index >= 0 && !m_chosen) {
        m_list.Advance(index);
    } else {
        // A song opened some other way (the recent files) is marked when
        // the list holds it.
        if (index < 0) {
            for (int i = 0; i < m_list.Size(); ++i) {
                if (m_list.Entries()[static_cast<size_t>(i)].path == path) {
                    index = i;
                    break;
                }
            }
        }
        if (index >= 0)
            m_list.SetCurrent(index);
    }
    // A song that waited for a stop may take its place after the list
    // asked for another: what the list opens is still awaited then.
    if (m_opening >= 0 && path == m_openingPath) {
        m_opening = -1;
        m_replaced.reset();
    }
    m_sawPlaying = FALSE;
    if (index >= 0) {
        CPlaylist::Entry& entry = m_list.Entries()[static_cast<size_t>(index)];
        entry.title = title;
        entry.micros = micros;
        entry.failed = false;
    }
    ++m_revision;
    if (play)
        m_dialog.OnButtonPlay();
}

BOOL CPlaylistPlayer::OnSongFailed(const CString& path)
{
    if (m_opening < 0 || path != m_openingPath)
        return FALSE;
    const int index = m_opening;
    m_opening = -1;
    m_list.Entries()[static_cast<size_t>(index)].failed = true;
    ++m_revision;
    if (m_chosen) {
        if (m_replaced && m_list.Size() == 1) {
            m_list = *m_replaced;
            ReadUnknown();
        }
        m_replaced.reset();
        return FALSE;
    }
    // Passed over: the list goes on in the same direction from it; with
    // nothing there, the song in place stays the current one.
    const int before = m_list.Current();
    m_list.Advance(index);
    const int next = m_direction > 0 ? m_list.NextIndex(false) : m_list.PreviousIndex();
    if (next >= 0)
        Open(next, m_playWhenInPlace, FALSE, m_direction);
    else
        m_list.Advance(before);
    return TRUE;
}

void CPlaylistPlayer::ReadUnknown()
{
    if (!m_dialog.m_hWnd)
        return;
    std::vector<CString> paths;
    for (const CPlaylist::Entry& entry : m_list.Entries()) {
        if (entry.micros < 0 && !entry.failed)
            paths.push_back(entry.path);
    }
    m_reader.Begin(m_dialog.m_hWnd, paths);
}

void CPlaylistPlayer::OnSongsRead()
{
    bool changed = false;
    for (const CPlaylistReader::Result& result : m_reader.Take()) {
        for (CPlaylist::Entry& entry : m_list.Entries()) {
            // What an open found (or a failure it marked) stands.
            if (entry.path != result.path || entry.micros >= 0 || entry.failed)
                continue;
            if (result.failed) {
                entry.failed = true;
            } else {
                entry.title = result.title;
                entry.micros = result.micros;
            }
            changed = true;
        }
    }
    if (changed)
        ++m_revision;
}

void CPlaylistPlayer::StopReading()
{
    m_reader.Stop();
}

void CPlaylistPlayer::OnDisplay()
{
    const CPlayerState& state = m_dialog.m_playerState;
    if (state.m_playState != STATE_STOPPED) {
        m_sawPlaying = TRUE;
        return;
    }
    if (!m_sawPlaying)
        return;
    m_sawPlaying = FALSE;
    // Stopped at the end by itself; a stop by the user leaves the position
    // before it.
    if (state.m_length <= 0 || state.m_currentTick < state.m_length)
        return;
    if (m_stopAfterThis) {
        m_stopAfterThis = FALSE;
        return;
    }
    const int next = m_list.NextIndex(true);
    if (next < 0)
        return;
    if (m_gap == 0 || !m_dialog.m_hWnd) {
        Open(next, TRUE, FALSE, 1);
        return;
    }
    m_afterGap = next;
    SetTimer(m_dialog.m_hWnd, GAP_TIMER, m_gap, nullptr);
}

void CPlaylistPlayer::OnTimer()
{
    const int next = m_afterGap;
    CancelGap();
    if (next >= 0 && next < m_list.Size())
        Open(next, TRUE, FALSE, 1);
}

void CPlaylistPlayer::CancelGap()
{
    if (m_afterGap >= 0 && m_dialog.m_hWnd)
        KillTimer(m_dialog.m_hWnd, GAP_TIMER);
    m_afterGap = -1;
}

void CPlaylistPlayer::OnUserStop()
{
    CancelGap();
    m_playWhenInPlace = FALSE;
}

BOOL CPlaylistPlayer::CanGoNext() const
{
    return m_list.HasNext() ? TRUE : FALSE;
}

BOOL CPlaylistPlayer::CanGoPrevious() const
{
    return m_list.HasPrevious() ? TRUE : FALSE;
}

void CPlaylistPlayer::SetRepeat(CPlaylist::Repeat repeat)
{
    m_list.SetRepeat(repeat);
    ++m_revision;
}

void CPlaylistPlayer::SetShuffle(BOOL shuffle)
{
    m_list.SetShuffle(shuffle != FALSE);
    ++m_revision;
}

void CPlaylistPlayer::AppendMenuTo(HMENU menu) const
{
    const auto flags = [](BOOL checked, BOOL enabled) {
        return (checked ? MF_CHECKED : 0u) | (enabled ? 0u : MF_GRAYED);
    };
    const CPlaylist::Repeat repeat = m_list.GetRepeat();
    HMENU list = CreatePopupMenu();
    AppendMenuW(list, flags(FALSE, CanGoNext()), ID_NEXT_SONG, MenuEntry(L"Next song", ID_NEXT_SONG));
    AppendMenuW(list, flags(FALSE, CanGoPrevious()), ID_PREVIOUS_SONG, MenuEntry(L"Previous song", ID_PREVIOUS_SONG));
    AppendMenuW(list, flags(m_stopAfterThis, TRUE), ID_STOP_AFTER_SONG, L"Stop after this song");
    AppendMenuW(list, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(list, flags(repeat == CPlaylist::REPEAT_OFF, TRUE), ID_REPEAT_OFF, L"Repeat off");
    AppendMenuW(list, flags(repeat == CPlaylist::REPEAT_ONE, TRUE), ID_REPEAT_ONE, L"Repeat one");
    AppendMenuW(list, flags(repeat == CPlaylist::REPEAT_ALL, TRUE), ID_REPEAT_ALL, L"Repeat all");
    AppendMenuW(list, flags(m_list.Shuffle(), TRUE), ID_SHUFFLE, L"Shuffle");
    AppendMenuW(list, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(list, MF_STRING, ID_OPEN_FOLDER, L"Open folder...");
    AppendMenuW(list, flags(m_subfolders, TRUE), ID_SUBFOLDERS, L"Include subfolders");
    AppendMenuW(list, MF_STRING, ID_OPEN_PLAYLIST, L"Open playlist...");
    AppendMenuW(list, flags(FALSE, m_list.Size() > 0), ID_SAVE_PLAYLIST, L"Save playlist...");
    AppendMenuW(list, MF_STRING, ID_PLAYLIST_WINDOW, MenuEntry(L"Playlist window", ID_PLAYLIST_WINDOW));
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(list), L"Playlist");
}

BOOL CPlaylistPlayer::Run(WORD command)
{
    switch (command) {
    case ID_NEXT_SONG: Next(); return TRUE;
    case ID_PREVIOUS_SONG: Previous(); return TRUE;
    case ID_STOP_AFTER_SONG: m_stopAfterThis = !m_stopAfterThis; return TRUE;
    case ID_REPEAT_OFF: SetRepeat(CPlaylist::REPEAT_OFF); return TRUE;
    case ID_REPEAT_ONE: SetRepeat(CPlaylist::REPEAT_ONE); return TRUE;
    case ID_REPEAT_ALL: SetRepeat(CPlaylist::REPEAT_ALL); return TRUE;
    case ID_SHUFFLE: SetShuffle(!m_list.Shuffle()); return TRUE;
    case ID_SUBFOLDERS: m_subfolders = !m_subfolders; return TRUE;
    case ID_OPEN_FOLDER: {
        CFileDialog dialog(TRUE, nullptr, L"", OFN_PICKFOLDER, nullptr, &m_dialog);
        const CString folder = m_dialog.m_recentFiles.LastFolder();
        dialog.m_ofn.lpstrInitialDir = folder;
        if (dialog.DoModal() == IDOK)
            OpenSongs({ dialog.GetPathName() });
        return TRUE;
    }
    case ID_OPEN_PLAYLIST: {
        CFileDialog dialog(TRUE, L"m3u8", L"", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kPlaylistFilter, &m_dialog);
        if (dialog.DoModal() == IDOK)
            OpenListFile(dialog.GetPathName());
        return TRUE;
    }
    case ID_SAVE_PLAYLIST: {
        CFileDialog dialog(FALSE, L"m3u8", L"playlist.m3u8", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kPlaylistFilter,
            &m_dialog);
        if (dialog.DoModal() == IDOK)
            SaveListFile(dialog.GetPathName());
        return TRUE;
    }
    default:
        return FALSE;
    }
}

std::string CPlaylistPlayer::ListFilePath()
{
    const std::string settings = RegistryFilePath();
    return settings.substr(0, settings.rfind('/') + 1) + "playlist.m3u8";
}

BOOL CPlaylistPlayer::OpenListFile(const CString& path)
{
    std::string text;
    std::vector<CM3uList::Song> songs;
    int current = -1;
    const auto read = CRegistryFile::ReadText(path.ToUtf8(), text);
    if (read != CRegistryFile::LoadResult::Loaded || !CM3uList::Parse(text, FolderOf(path), FALSE, songs, current)) {
        MessageBoxW(nullptr,
            (read == CRegistryFile::LoadResult::Loaded ? CString(L"Not a playlist: ") : CString(L"Cannot read the playlist: "))
                + path,
            L"", MB_OK);
        return FALSE;
    }
    if (songs.empty()) {
        MessageBoxW(nullptr, L"The playlist holds no songs: " + path, L"", MB_OK);
        return FALSE;
    }
    AssignListed(songs);
    Open(m_list.Current(), FALSE, TRUE, 1);
    return TRUE;
}

BOOL CPlaylistPlayer::SaveListFile(const CString& path) const
{
    if (!CRegistryFile::ReplaceText(path.ToUtf8(), CM3uList::Format(ListedSongs(), FolderOf(path), -1))) {
        MessageBoxW(nullptr, L"Cannot write the playlist " + path, L"Error", MB_OK | MB_ICONERROR);
        return FALSE;
    }
    return TRUE;
}

void CPlaylistPlayer::Load(BOOL openCurrent)
{
    m_gap = static_cast<DWORD>(LoadSmallSetting(kGapValue, 0, static_cast<int>(MAX_GAP), DEFAULT_GAP));
    m_subfolders = LoadSmallSetting(kSubfoldersValue, 0, 1, 0);
    m_list.SetRepeat(static_cast<CPlaylist::Repeat>(LoadSmallSetting(kRepeatValue, 0, 2, 0)));
    m_list.SetShuffle(LoadSmallSetting(kShuffleValue, 0, 1, 0) != 0);
    m_loaded[0] = static_cast<int>(m_gap);
    m_loaded[1] = m_subfolders;
    m_loaded[2] = static_cast<int>(m_list.GetRepeat());
    m_loaded[3] = m_list.Shuffle() ? 1 : 0;

    const std::string file = ListFilePath();
    std::string text;
    std::vector<CM3uList::Song> songs;
    int current = -1;
    const auto read = CRegistryFile::ReadText(file, text);
    if (read == CRegistryFile::LoadResult::Missing)
        return;
    if (read != CRegistryFile::LoadResult::Loaded || !CM3uList::Parse(text, FolderOf(CString::FromUtf8(file)), TRUE, songs, current)) {
        // Kept aside, so that the list written at close does not take
        // what it held with it; a file that cannot be read is left alone.
        if (read == CRegistryFile::LoadResult::Unreadable) {
            MessageBoxW(nullptr, L"The playlist " + CString::FromUtf8(file) + L" cannot be read; it is left as it is.",
                L"Error", MB_OK | MB_ICONERROR);
            return;
        }
        const BOOL kept = CRegistryFile::KeepDamagedCopy(file) ? TRUE : FALSE;
        MessageBoxW(nullptr,
            L"The playlist " + CString::FromUtf8(file) + L" is damaged"
                + (kept ? L"; it is kept as " + CString::FromUtf8(file) + L".damaged" : CString(L"")) + L". The playlist starts empty.",
            L"Error", MB_OK | MB_ICONERROR);
        return;
    }
    AssignListed(songs);
    if (current >= 0)
        m_list.SetCurrent(current);
    if (openCurrent && m_list.Current() >= 0)
        Open(m_list.Current(), FALSE, TRUE, 1);
}

BOOL CPlaylistPlayer::Save() const
{
    // What this window did not change is left as another window may have
    // written it meanwhile.
    const int now[4] = { static_cast<int>(m_gap), m_subfolders ? 1 : 0, static_cast<int>(m_list.GetRepeat()),
        m_list.Shuffle() ? 1 : 0 };
    const wchar_t* const names[4] = { kGapValue, kSubfoldersValue, kRepeatValue, kShuffleValue };
    for (int i = 0; i < 4; ++i) {
        if (now[i] != m_loaded[i])
            SaveNumber(names[i], now[i]);
    }
    const std::string file = ListFilePath();
    return CRegistryFile::ReplaceText(file, CM3uList::Format(ListedSongs(), FolderOf(CString::FromUtf8(file)), m_list.Current()))
        ? TRUE
        : FALSE;
}
