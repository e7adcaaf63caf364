#include "app/CPlaylistWindow.h"

#include "app/CTabrinoDlg.h"
#include "app/DrumChannel.h"
#include "app/RegistryText.h"
#include "app/SongFileNames.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/SysColor.h"
#include "platform/ui/WindowPlacement.h"

#include <algorithm>
#include <string>

namespace {

const char* const kTemplate = R"(caption "Playlist"
size 220 200
font 8 "System"
style WS_POPUP|WS_CAPTION|WS_SYSMENU|WS_THICKFRAME
control 10 LISTBOX "" 0 0 220 200 WS_CHILD|WS_VISIBLE|WS_TABSTOP|LBS_NOTIFY|LBS_USETABSTOPS|LBS_WANTKEYBOARDINPUT|LBS_DRAGREORDER
)";

const wchar_t* const kPlaceValue = L"PlaylistWindow";
constexpr LONG kWindowGap = 16;
// The length column, in dialog units: room for "1:23:45" and a margin.
constexpr int kLengthColumn = 36;
// Left beside the length for the list's frame and vertical scroll bar, so
// that the columns never need a horizontal one.
constexpr int kRightMargin = 28;

}

CPlaylistWindow::CPlaylistWindow(CTabrinoDlg& player)
    : CViewWindow(player, m_place, kTemplate)
{
}

CString CPlaylistWindow::LineText(int number, const CString& title, LONGLONG micros, bool failed)
{
    std::wstring text = std::to_wstring(number) + L". " + title.Str();
    if (failed)
        return CString(text + L" (cannot be read)\t--");
    if (micros < 0)
        return CString(text + L"\t");
    const LONGLONG seconds = (micros + 500000) / 1000000;
    const std::wstring rest = std::to_wstring(seconds % 60);
    return CString(text + L"\t" + std::to_wstring(seconds / 60) + L":" + (rest.size() < 2 ? L"0" : L"") + rest);
}

void CPlaylistWindow::Toggle()
{
    if (IsOpen()) {
        Close();
        return;
    }
    Open(TRUE);
    DragAcceptFiles(m_hWnd, TRUE);
    m_shown = ~0u;
    Refresh();
}

void CPlaylistWindow::Refresh()
{
    const CPlaylistPlayer& playlist = m_player.m_playlist;
    if (!IsOpen() || m_shown == playlist.m_revision)
        return;
    m_shown = playlist.m_revision;
    const int selection = static_cast<int>(SendDlgItemMessage(IDC_SONGS, LB_GETCURSEL));
    SendDlgItemMessage(IDC_SONGS, LB_RESETCONTENT);
    const auto& entries = playlist.m_list.Entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const CPlaylist::Entry& entry = entries[i];
        const CString title = entry.title.IsEmpty() ? FileNameOf(entry.path) : entry.title;
        const CString line = LineText(static_cast<int>(i) + 1, title.ForDisplay(), entry.micros, entry.failed);
        SendDlgItemMessage(IDC_SONGS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.GetString()));
    }
    SendDlgItemMessage(IDC_SONGS, LB_SETMARKEDITEM, static_cast<WPARAM>(playlist.m_list.Current()));
    if (selection >= 0 && selection < static_cast<int>(entries.size()))
        SendDlgItemMessage(IDC_SONGS, LB_SETCURSEL, static_cast<WPARAM>(selection));
}

void CPlaylistWindow::Restore()
{
    ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kPlaceValue, m_loadedPlace);
    CViewSettings::ParsePlacement(m_loadedPlace, m_place);
    if (m_place.open) {
        Open(FALSE);
        DragAcceptFiles(m_hWnd, TRUE);
        m_shown = ~0u;
        Refresh();
    }
}

void CPlaylistWindow::Save()
{
    KeepPlacement();
    const CString text = CViewSettings::PlacementText(m_place);
    // Unchanged, it is left as another player window may have written it.
    if (text != m_loadedPlace && (m_place.placed || m_place.open))
        WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kPlaceValue, text);
}

void CPlaylistWindow::Layout()
{
    RECT client {};
    GetClientRect(&client);
    if (CWnd* list = GetDlgItem(IDC_SONGS)) {
        list->MoveWindow(&client);
        // The title takes what the length leaves of the width, so that a
        // title is cut short only when the window is too narrow for it.
        const int width = static_cast<int>(client.right - client.left) / kPixelsPerDialogUnit;
        int stops[2] = { std::max(kLengthColumn, width - kLengthColumn - kRightMargin), 0 };
        stops[1] = stops[0] + kLengthColumn;
        SendDlgItemMessage(IDC_SONGS, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
    }
}

void CPlaylistWindow::PaintAll(CDC* dc)
{
    RECT client {};
    GetClientRect(&client);
    CBrush face(GetSysColor(COLOR_BTNFACE));
    dc->FillRect(&client, &face);
}

RECT CPlaylistWindow::DefaultPlace(const RECT& player, LONG width, LONG height) const
{
    return RECT { player.left - width - kWindowGap, player.top, player.left - kWindowGap, player.top + height };
}

LRESULT CPlaylistWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    CPlaylistPlayer& playlist = m_player.m_playlist;
    const int selection = m_hWnd ? static_cast<int>(SendDlgItemMessage(IDC_SONGS, LB_GETCURSEL)) : -1;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SONGS && HIWORD(wParam) == LBN_DBLCLK) {
            playlist.PlayEntry(selection);
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto* moved = reinterpret_cast<const NMLBITEMMOVED*>(lParam);
        if (moved && moved->hdr.code == LBN_ITEMMOVED) {
            // The list moved the line itself; the numbers are shown anew.
            playlist.Move(moved->iFrom, moved->iTo);
            Refresh();
            return 0;
        }
        break;
    }
    case WM_VKEYTOITEM: {
        const auto key = static_cast<UINT>(LOWORD(wParam));
        if (key == VK_DELETE) {
            playlist.Remove(selection);
            Refresh();
            SendDlgItemMessage(IDC_SONGS, LB_SETCURSEL,
                static_cast<WPARAM>(std::min(selection, playlist.m_list.Size() - 1)));
            return -2;
        }
        if (key == VK_RETURN) {
            playlist.PlayEntry(selection);
            return -2;
        }
        // Moving through the list is the list's; other keys are the player's.
        if (key == VK_UP || key == VK_DOWN || key == VK_HOME || key == VK_END || key == VK_PRIOR || key == VK_NEXT)
            return -1;
        if (key != VK_ESCAPE)
            m_player.SendMessage(WM_KEYDOWN, key, 0);
        return -2;
    }
    case WM_DROPFILES:
        playlist.AddSongs(CPlaylistPlayer::DroppedSongs(reinterpret_cast<HDROP>(wParam)));
        Refresh();
        return 0;
    default:
        break;
    }
    return CViewWindow::WindowProc(message, wParam, lParam);
}
