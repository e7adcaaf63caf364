#include "app/CMixerWindow.h"

#include "app/CFaceCommands.h"
#include "app/CTabrinoDlg.h"
#include "platform/ui/CDialogTemplate.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/WindowPlacement.h"
#include "skin/CSkinMeter.h"

#include <cstdio>

namespace {

constexpr int kRowHeight = 14;
constexpr int kFirstRow = 20;
constexpr int kWidth = 410;

// A control line of the template.
std::string Control(int id, const char* kind, const std::string& text, int x, int y, int w, int h, const char* styles)
{
    std::string quoted;
    for (char c : text)
        quoted += c == '"' ? '\'' : c;
    char line[160];
    std::snprintf(line, sizeof line, "control %d %s \"%s\" %d %d %d %d WS_CHILD|WS_VISIBLE|%s\n", id, kind,
        quoted.c_str(), x, y, w, h, styles);
    return line;
}

}

CMixerWindow::CMixerWindow(CTabrinoDlg& player, CViewSettings::Placement& placement)
    : CDialog(0, nullptr)
    , m_player(player)
    , m_placement(placement)
{
}

CMixerWindow::~CMixerWindow()
{
    if (m_hWnd)
        DestroyWindow();
}

std::string CMixerWindow::TemplateText(const CChannelNames& names)
{
    std::string strips;
    int rows = 0;
    for (int channel = 0; channel < 16; ++channel) {
        if (!names.IsUsed(channel))
            continue;
        const int y = kFirstRow + rows++ * kRowHeight;
        const std::string name = std::to_string(channel + 1) + "  " + names.Name(channel).ToUtf8();
        strips += Control(StripId(channel, ITEM_NAME), "STATIC", name, 4, y + 2, 86, 8, "SS_LEFT|SS_NOPREFIX");
        strips += Control(StripId(channel, ITEM_VOLUME), "msctls_trackbar32", "", 92, y, 60, 12, "WS_TABSTOP");
        strips += Control(StripId(channel, ITEM_OWN_PAN), "BUTTON", "Pan", 156, y + 1, 26, 10, "WS_TABSTOP|BS_AUTOCHECKBOX");
        strips += Control(StripId(channel, ITEM_PAN), "msctls_trackbar32", "", 182, y, 44, 12, "WS_TABSTOP");
        strips += Control(StripId(channel, ITEM_MUTE), "BUTTON", "Mute", 228, y + 1, 30, 10, "WS_TABSTOP|BS_AUTOCHECKBOX");
        strips += Control(StripId(channel, ITEM_SOLO), "BUTTON", "Solo", 260, y + 1, 28, 10, "WS_TABSTOP|BS_AUTOCHECKBOX");
        strips += Control(StripId(channel, ITEM_EMPHASIS), "BUTTON", "Emphasis", 290, y, 38, 12,
            "WS_TABSTOP|BS_AUTOCHECKBOX|BS_PUSHLIKE");
        strips += Control(StripId(channel, ITEM_MINUS_ONE), "BUTTON", "Minus one", 330, y, 38, 12,
            "WS_TABSTOP|BS_AUTOCHECKBOX|BS_PUSHLIKE");
        strips += Control(StripId(channel, ITEM_METER), "msctls_progress32", "", 370, y + 3, 36, 6, "WS_BORDER");
    }
    std::string text = "caption \"Mixer\"\nfont 8 \"System\"\n"
                       "style WS_POPUP|WS_CAPTION|WS_SYSMENU|DS_SETFONT\n";
    text += "size " + std::to_string(kWidth) + " " + std::to_string(kFirstRow + std::max(rows, 1) * kRowHeight + 4) + "\n";
    text += Control(-1, "STATIC", "Others during an emphasis:", 4, 6, 90, 8, "SS_LEFT");
    text += Control(ID_LEVEL, "msctls_trackbar32", "", 96, 4, 70, 12, "WS_TABSTOP");
    text += Control(ID_LEVEL_TEXT, "STATIC", "", 168, 6, 24, 8, "SS_LEFT");
    text += Control(ID_RESET, "BUTTON", "All as in the song", 330, 3, 76, 13, "WS_TABSTOP|BS_PUSHBUTTON");
    if (rows == 0)
        text += Control(-1, "STATIC", "No song, or a song without notes.", 4, kFirstRow + 2, 200, 8, "SS_LEFT");
    return text + strips;
}

BOOL CMixerWindow::OnInitDialog()
{
    SendDlgItemMessage(ID_LEVEL, TBM_SETRANGE, TRUE, MAKELPARAM(0, CMixerValues::FULL_VOLUME));
    for (int channel = 0; channel < 16; ++channel) {
        if (!m_names.IsUsed(channel))
            continue;
        SendDlgItemMessage(StripId(channel, ITEM_VOLUME), TBM_SETRANGE, TRUE, MAKELPARAM(0, CMixerValues::FULL_VOLUME));
        SendDlgItemMessage(StripId(channel, ITEM_PAN), TBM_SETRANGE, TRUE, MAKELPARAM(0, 127));
        SendDlgItemMessage(StripId(channel, ITEM_METER), PBM_SETRANGE32, 0, 10000);
    }
    const BOOL done = CDialog::OnInitDialog();
    ShowValues();
    return done;
}

void CMixerWindow::Open(BOOL activate)
{
    if (!m_hWnd) {
        CDialogTemplate dialogTemplate;
        if (!dialogTemplate.Parse(TemplateText(m_names)) || !CreateIndirect(dialogTemplate, &m_player))
            return;
        if (m_placement.placed) {
            // The size is the template's, for this song's strips.
            RECT own;
            GetWindowRect(&own);
            RECT place { m_placement.rect.left, m_placement.rect.top,
                m_placement.rect.left + own.right - own.left, m_placement.rect.top + own.bottom - own.top };
            MoveWindow(&place);
        }
    }
    ShowWindow(activate ? SW_SHOW : SW_SHOWNA);
    m_placement.open = TRUE;
    Refresh();
}

void CMixerWindow::Close()
{
    if (!m_hWnd)
        return;
    KeepPlacement();
    ShowWindow(SW_HIDE);
    m_placement.open = FALSE;
}

void CMixerWindow::Toggle()
{
    if (IsOpen())
        Close();
    else
        Open(TRUE);
}

void CMixerWindow::KeepPlacement()
{
    CViewSettings::KeepPlacement(m_hWnd, m_placement);
}

void CMixerWindow::SongChanged()
{
    m_names.Build(m_player.m_pTracks);
    if (!m_hWnd)
        return;
    const BOOL open = IsOpen();
    KeepPlacement();
    DestroyWindow();
    if (open)
        Open(FALSE);
    m_placement.open = open;
}

void CMixerWindow::MixChanged()
{
    if (m_hWnd)
        ShowValues();
}

void CMixerWindow::ShowValues()
{
    const CMixerValues& mix = m_player.m_mixer.Values();
    SendDlgItemMessage(ID_LEVEL, TBM_SETPOS, TRUE, mix.emphasisLevel);
    ShowLevelText();
    for (int channel = 0; channel < 16; ++channel) {
        if (!m_names.IsUsed(channel))
            continue;
        const std::int32_t pan = mix.pan[size_t(channel)];
        SendDlgItemMessage(StripId(channel, ITEM_VOLUME), TBM_SETPOS, TRUE, mix.volume[size_t(channel)]);
        CheckDlgButton(StripId(channel, ITEM_OWN_PAN), pan >= 0 ? BST_CHECKED : BST_UNCHECKED);
        SendDlgItemMessage(StripId(channel, ITEM_PAN), TBM_SETPOS, TRUE, pan >= 0 ? pan : 64);
        if (CWnd* panBar = GetDlgItem(StripId(channel, ITEM_PAN)))
            panBar->EnableWindow(pan >= 0);
    }
    Refresh();
}

void CMixerWindow::ShowLevelText()
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%d %%", m_player.m_mixer.Values().emphasisLevel);
    SetDlgItemText(ID_LEVEL_TEXT, text);
}

void CMixerWindow::Refresh()
{
    if (!IsOpen())
        return;
    const CMixerValues& mix = m_player.m_mixer.Values();
    const CPractice& practice = m_player.m_practice;
    const CSkinMeter* meter = m_player.m_pMeter;
    for (int channel = 0; channel < 16; ++channel) {
        if (!m_names.IsUsed(channel))
            continue;
        auto check = [&](int item, bool on) {
            if ((IsDlgButtonChecked(StripId(channel, item)) == BST_CHECKED) != on)
                CheckDlgButton(StripId(channel, item), on ? BST_CHECKED : BST_UNCHECKED);
        };
        check(ITEM_MUTE, practice.IsMuted(channel));
        check(ITEM_SOLO, practice.SoloChannel() == channel);
        check(ITEM_EMPHASIS, mix.focus == CMixerValues::FOCUS_EMPHASIS && mix.focusChannel == channel);
        check(ITEM_MINUS_ONE, mix.focus == CMixerValues::FOCUS_MINUS_ONE && mix.focusChannel == channel);
        // The level the face's meter shows (the same model, falling alike).
        const int level = meter && size_t(channel) < meter->m_levels.size() ? meter->m_levels[size_t(channel)] : -10000;
        SendDlgItemMessage(StripId(channel, ITEM_METER), PBM_SETPOS, WPARAM(level + 10000));
    }
}

void CMixerWindow::OnClicked(int id)
{
    CMixer& mixer = m_player.m_mixer;
    if (id == ID_RESET) {
        mixer.Reset();
        m_player.m_practice.UnmuteAll();
        ShowValues();
    } else if (id >= STRIP_FIRST && id < StripId(16, 0)) {
        const int channel = (id - STRIP_FIRST) / ITEM_COUNT;
        switch ((id - STRIP_FIRST) % ITEM_COUNT) {
        case ITEM_OWN_PAN: {
            const BOOL own = IsDlgButtonChecked(id) == BST_CHECKED;
            const auto pan = static_cast<int>(SendDlgItemMessage(StripId(channel, ITEM_PAN), TBM_GETPOS));
            mixer.SetPan(channel, own ? pan : CMixerValues::PAN_AS_SONG);
            if (CWnd* panBar = GetDlgItem(StripId(channel, ITEM_PAN)))
                panBar->EnableWindow(own);
            break;
        }
        case ITEM_MUTE: m_player.m_practice.ToggleMute(channel); break;
        case ITEM_SOLO: m_player.m_practice.ToggleSolo(channel); break;
        case ITEM_EMPHASIS: mixer.Emphasize(channel); break;
        case ITEM_MINUS_ONE: mixer.MinusOne(channel); break;
        default: return;
        }
    } else {
        return;
    }
    // The face's meters show the mutes at once.
    CFaceCommands(m_player).ShowPractice();
    Refresh();
}

void CMixerWindow::OnScroll(HWND trackbar)
{
    auto is = [&](int id) {
        const CWnd* control = GetDlgItem(id);
        return control && control->m_hWnd == trackbar;
    };
    auto position = [&](int id) { return static_cast<int>(SendDlgItemMessage(id, TBM_GETPOS)); };
    if (is(ID_LEVEL)) {
        m_player.m_mixer.SetEmphasisLevel(position(ID_LEVEL));
        ShowLevelText();
        return;
    }
    for (int channel = 0; channel < 16; ++channel) {
        if (!m_names.IsUsed(channel))
            continue;
        if (is(StripId(channel, ITEM_VOLUME)))
            m_player.m_mixer.SetVolume(channel, position(StripId(channel, ITEM_VOLUME)));
        else if (is(StripId(channel, ITEM_PAN)) && IsDlgButtonChecked(StripId(channel, ITEM_OWN_PAN)) == BST_CHECKED)
            m_player.m_mixer.SetPan(channel, position(StripId(channel, ITEM_PAN)));
    }
}

LRESULT CMixerWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (lParam && HIWORD(wParam) == BN_CLICKED) {
            OnClicked(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_HSCROLL:
        OnScroll(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_KEYDOWN: {
        const auto key = static_cast<UINT>(wParam);
        if (key == VK_ESCAPE || key == VK_RETURN)
            break;
        m_player.SendMessage(WM_KEYDOWN, wParam, lParam);
        return 0;
    }
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
