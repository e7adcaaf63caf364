#include "app/CLyricsWindow.h"

#include "app/CTabrinoDlg.h"
#include "platform/text/CTextEncoding.h"
#include "platform/gdi/CClientDC.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Menu.h"
#include "platform/ui/WindowHandle.h"
#include "platform/ui/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

namespace {

const char* const kTemplate = R"(caption "Lyrics"
size 240 100
font 8 "System"
style WS_POPUP|WS_CAPTION|WS_SYSMENU|WS_THICKFRAME
)";

// Room between the player's window and a view's, for their frames.
constexpr LONG kWindowGap = 16;

// Each step of Ctrl++ and Ctrl+- sizes the words by a quarter.
int StepSize(int size, bool larger)
{
    const int next = larger ? std::max(size + 1, size * 5 / 4) : std::min(size - 1, size * 4 / 5);
    return std::clamp(next, CLyricsView::kMinFontSize, CLyricsView::kMaxFontSize);
}

}

CLyricsWindow::CLyricsWindow(CTabrinoDlg& player, CViewSettings& settings)
    : CViewWindow(player, settings.m_lyrics, kTemplate)
    , m_settings(settings)
{
}

void CLyricsWindow::SongChanged()
{
    m_songPending = true;
    Layout();
}

void CLyricsWindow::Layout()
{
    if (!IsOpen())
        return;
    if (m_songPending) {
        m_lyrics.Build(m_player.m_pTracks, m_settings.m_lyricsEncoding);
        m_view.SetLyrics(&m_lyrics);
        m_songPending = false;
    }
    RECT client;
    GetClientRect(&client);
    m_view.SetLayout(client, m_settings.m_lyricsFontSize);
    m_view.SetPosition(m_player.m_playerState.m_currentTick);
    Invalidate(FALSE);
}

RECT CLyricsWindow::DefaultPlace(const RECT& player, LONG width, LONG height) const
{
    // To the right of the player, level with its top.
    return RECT { player.right + kWindowGap, player.top, player.right + kWindowGap + width, player.top + height };
}

void CLyricsWindow::Refresh()
{
    if (!IsOpen() || !m_view.SetPosition(m_player.m_playerState.m_currentTick))
        return;
    CClientDC dc(this);
    m_view.Paint(&dc, FALSE);
}

void CLyricsWindow::PaintAll(CDC* dc)
{
    m_view.Paint(dc, TRUE);
}

void CLyricsWindow::SetFontSize(int size)
{
    m_settings.m_lyricsFontSize = std::clamp(size, CLyricsView::kMinFontSize, CLyricsView::kMaxFontSize);
    Layout();
}

void CLyricsWindow::SetEncoding(const std::string& encoding)
{
    if (!CTextEncoding::FindChoice(encoding))
        return;
    m_settings.m_lyricsEncoding = encoding;
    SongChanged();
}

void CLyricsWindow::ToggleFullScreen()
{
    if (m_hWnd)
        SetWindowFullScreen(m_hWnd, IsWindowFullScreen(m_hWnd) ? FALSE : TRUE);
}

BOOL CLyricsWindow::OnViewKey(UINT key, BOOL control)
{
    if (key == VK_F11) {
        ToggleFullScreen();
        return TRUE;
    }
    const bool plus = key == VK_OEM_PLUS || key == VK_ADD;
    if (control && (plus || key == VK_OEM_MINUS || key == VK_SUBTRACT)) {
        SetFontSize(StepSize(m_settings.m_lyricsFontSize, plus));
        return TRUE;
    }
    return FALSE;
}

LRESULT CLyricsWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
        // Escape leaves full screen before it closes anything.
        if (wParam == VK_ESCAPE && IsWindowFullScreen(m_hWnd)) {
            ToggleFullScreen();
            return 0;
        }
        break;
    case WM_LBUTTONDBLCLK:
        ToggleFullScreen();
        return 0;
    case WM_CONTEXTMENU: {
        const auto position = static_cast<std::uintptr_t>(lParam);
        OnContextMenu(static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position)));
        return 0;
    }
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        const auto choices = CTextEncoding::Choices();
        if (HIWORD(wParam) != 0)
            break;
        if (id >= ID_ENCODING_FIRST && id < ID_ENCODING_FIRST + choices.size()) {
            SetEncoding(choices[id - ID_ENCODING_FIRST].name);
            return 0;
        }
        switch (id) {
        case ID_LARGER: SetFontSize(StepSize(m_settings.m_lyricsFontSize, true)); return 0;
        case ID_SMALLER: SetFontSize(StepSize(m_settings.m_lyricsFontSize, false)); return 0;
        case ID_FULL_SCREEN: ToggleFullScreen(); return 0;
        case ID_CLOSE: Close(); return 0;
        default: break;
        }
        break;
    }
    default:
        break;
    }
    return CViewWindow::WindowProc(message, wParam, lParam);
}

void CLyricsWindow::OnContextMenu(int x, int y)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, ID_LARGER, L"Larger words\tCtrl++");
    AppendMenuW(menu, MF_STRING, ID_SMALLER, L"Smaller words\tCtrl+-");
    AppendMenuW(menu, IsWindowFullScreen(m_hWnd) ? MF_CHECKED : MF_STRING, ID_FULL_SCREEN, L"Full screen\tF11");
    HMENU encodings = CreatePopupMenu();
    const auto choices = CTextEncoding::Choices();
    for (size_t i = 0; i < choices.size(); ++i) {
        CString label = choices[i].label;
        // The automatic entry says what it found.
        if (i == 0 && !m_lyrics.m_forced && !m_lyrics.m_encoding.empty())
            label += CString(L" (") + CString::FromUtf8(m_lyrics.m_encoding) + L")";
        const bool chosen = m_settings.m_lyricsEncoding == choices[i].name;
        AppendMenuW(encodings, chosen ? MF_CHECKED : MF_STRING, ID_ENCODING_FIRST + i, label);
    }
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(encodings), L"Encoding");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ID_CLOSE, L"Close\tY");
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, x, y, 0, m_hWnd, nullptr));
    DestroyMenu(menu);
    if (chosen != 0)
        SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
}
