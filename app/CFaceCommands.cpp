#include "app/CFaceCommands.h"

#include "app/CExportDlg.h"
#include "app/CPracticeTools.h"
#include "app/CSongViews.h"
#include "app/CTabrinoDlg.h"
#include "app/FaceCommands.h"
#include "app/KeyBindings.h"
#include "app/SongFileNames.h"
#include "platform/core/MessageBox.h"
#include "platform/gdi/CClientDC.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/WindowHandle.h"
#include "platform/ui/WindowZoom.h"
#include "skin/CFaceLayout.h"
#include "skin/CSkinLoopMarks.h"
#include "skin/CSkinMeter.h"
#include "song/CMeterMap.h"

#include <algorithm>
#include <string>

namespace {

UINT Flags(BOOL checked, BOOL enabled)
{
    return (checked ? MF_CHECKED : 0u) | (enabled ? 0u : MF_GRAYED);
}

BOOL IsStep(WORD command)
{
    switch (command) {
    case ID_BAR_BACK: case ID_BAR_FORWARD: case ID_BEAT_BACK: case ID_BEAT_FORWARD:
    case ID_TEMPO_UP: case ID_TEMPO_DOWN: case ID_TEMPO_UP10: case ID_TEMPO_DOWN10:
    case ID_TRANSPOSE_UP: case ID_TRANSPOSE_DOWN: case ID_MARKER_NEXT: case ID_MARKER_PREVIOUS:
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL Inside(const RECT& rect, POINT point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

}

CFaceCommands::CFaceCommands(CTabrinoDlg& dialog)
    : m_dialog(dialog)
{
}

LONGLONG CFaceCommands::StepPosition(const CMeterMap& meter, LONGLONG tick, LONGLONG length, int bars, int beats)
{
    const LONGLONG target = bars != 0 ? meter.StepBars(tick, bars) : meter.StepBeats(tick, beats);
    return std::clamp<LONGLONG>(target, 0, std::max<LONGLONG>(length, 0));
}

void CFaceCommands::Step(int bars, int beats)
{
    const CPlayerState& state = m_dialog.m_playerState;
    m_dialog.SetPosition(StepPosition(state.m_meterMap, state.m_currentTick, state.m_length, bars, beats));
}

BOOL CFaceCommands::Run(WORD id)
{
    CPractice& practice = m_dialog.m_practice;
    const LONGLONG here = m_dialog.m_playerState.m_currentTick;
    if (id >= ID_MUTE_FIRST && id < ID_MUTE_FIRST + 16) {
        practice.ToggleMute(id - ID_MUTE_FIRST);
    } else if (id >= ID_SOLO_FIRST && id < ID_SOLO_FIRST + 16) {
        practice.ToggleSolo(id - ID_SOLO_FIRST);
    } else if (id >= ID_RECENT_FIRST && id < ID_RECENT_FIRST + kRecentMenuFiles) {
        const auto& files = m_dialog.m_recentFiles.Files();
        const size_t index = static_cast<size_t>(id - ID_RECENT_FIRST);
        if (index < files.size()) {
            const CString path = files[index];
            m_dialog.BeginOpen(path, FileNameOf(path));
        }
    } else if (id >= ID_EMPHASIS_FIRST && id < ID_EMPHASIS_FIRST + 16) {
        m_dialog.m_mixer.Emphasize(id - ID_EMPHASIS_FIRST);
    } else if (id >= ID_MINUS_ONE_FIRST && id < ID_MINUS_ONE_FIRST + 16) {
        m_dialog.m_mixer.MinusOne(id - ID_MINUS_ONE_FIRST);
    } else if (id >= ID_PLAYLIST_FIRST && id <= ID_PLAYLIST_LAST) {
        if (id == ID_PLAYLIST_WINDOW)
            m_dialog.m_playlistWindow.Toggle();
        else
            m_dialog.m_playlist.Run(id);
    } else if (id > ID_ZOOM_FIRST && id <= ID_ZOOM_FIRST + kMaxWindowZoom) {
        // Remembered as a zoom asked for on the command line is.
        m_dialog.m_nZoom = id - ID_ZOOM_FIRST;
        ZoomWindow(m_dialog.m_hWnd, m_dialog.m_nZoom);
    } else {
        switch (id) {
        case ID_PLAY_STOP:
            if (m_dialog.m_playerState.m_playState == STATE_STOPPED)
                m_dialog.OnButtonPlay();
            else
                m_dialog.OnButtonStop();
            break;
        case ID_GO_START: m_dialog.SetPosition(0); break;
        case ID_BAR_BACK: Step(-1, 0); break;
        case ID_BAR_FORWARD: Step(1, 0); break;
        case ID_BEAT_BACK: Step(0, -1); break;
        case ID_BEAT_FORWARD: Step(0, 1); break;
        case ID_TEMPO_UP10: m_dialog.StepTempo(10); break;
        case ID_TEMPO_DOWN10: m_dialog.StepTempo(-10); break;
        case ID_TRANSPOSE_RESET: m_dialog.SetTranspose(0); break;
        case ID_LOOP_SET_A: practice.SetLoopStart(here); break;
        case ID_LOOP_SET_B: practice.SetLoopEnd(here); break;
        case ID_LOOP_TOGGLE: practice.SetLoopOn(!practice.LoopOn()); break;
        case ID_LOOP_CLEAR: practice.ClearLoop(); break;
        case ID_METRONOME: practice.SetMetronome(!practice.MetronomeOn()); break;
        case ID_UNMUTE_ALL: practice.UnmuteAll(); break;
        case ID_FORGET_SONG: m_dialog.ForgetSong(); break;
        case ID_LYRICS_WINDOW:
        case ID_KEYBOARD_WINDOW:
        case ID_MIXER_WINDOW: m_dialog.m_pViews->Toggle(id); break;
        case ID_EXPORT_PRACTICE: m_dialog.m_pExport->Start(); break;
        case ID_MIX_RESET: m_dialog.m_mixer.Reset(); m_dialog.m_pViews->m_mixer.MixChanged(); break;
        case ID_KEY_HELP:
            MessageBoxW(nullptr, KeyHelpText(), L"Keyboard", MB_OK | MB_ICONINFORMATION);
            break;
        case ID_ABOUT:
            MessageBoxW(nullptr, CString::FromUtf8("TabrinoCE " TABRINO_VERSION "\nA skinned MIDI file player"),
                L"About TabrinoCE", MB_OK | MB_ICONINFORMATION);
            break;
        case ID_QUIT: m_dialog.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); break;
        default:
            if (!m_dialog.m_pPracticeTools->Run(id))
                return FALSE;
            break;
        }
    }
    ShowPractice();
    return TRUE;
}

BOOL CFaceCommands::OnKeyDown(UINT key, LPARAM flags)
{
    const UINT modifiers = ((GetKeyState(VK_SHIFT) & 0x8000) ? KEY_SHIFT : 0u)
        | ((GetKeyState(VK_CONTROL) & 0x8000) ? KEY_CONTROL : 0u);
    const WORD command = CommandForKey(key, modifiers);
    if (command == 0)
        return FALSE;
    // A held key must not flip a switch on and off, nor open a dialog again
    // after the first one closed.
    if ((flags & KF_REPEAT_BIT) && !IsStep(command))
        return TRUE;
    m_dialog.SendMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return TRUE;
}

HMENU CFaceCommands::BuildMenu() const
{
    const CPractice& practice = m_dialog.m_practice;
    const BOOL stopped = m_dialog.m_playerState.m_playState == STATE_STOPPED;
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, Flags(FALSE, stopped), ID_FILE_OPEN, MenuEntry(L"Open...", ID_FILE_OPEN));

    HMENU recent = CreatePopupMenu();
    const auto& files = m_dialog.m_recentFiles.Files();
    for (size_t i = 0; i < files.size() && i < static_cast<size_t>(kRecentMenuFiles); ++i) {
        const CString text = CString(std::to_wstring(i + 1).c_str()) + L" " + FileNameOf(files[i]);
        AppendMenuW(recent, MF_STRING, ID_RECENT_FIRST + i, text);
    }
    AppendMenuW(menu, MF_POPUP | Flags(FALSE, !files.empty()), reinterpret_cast<std::uintptr_t>(recent),
        L"Recent files");
    m_dialog.m_playlist.AppendMenuTo(menu);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);

    HMENU loop = CreatePopupMenu();
    AppendMenuW(loop, MF_STRING, ID_LOOP_SET_A, MenuEntry(L"Set A", ID_LOOP_SET_A));
    AppendMenuW(loop, MF_STRING, ID_LOOP_SET_B, MenuEntry(L"Set B", ID_LOOP_SET_B));
    AppendMenuW(loop, Flags(practice.LoopOn(), practice.HasLoop()), ID_LOOP_TOGGLE, MenuEntry(L"Loop on", ID_LOOP_TOGGLE));
    AppendMenuW(loop, Flags(FALSE, practice.HasLoop() || practice.LoopStart() >= 0 || practice.LoopEnd() >= 0),
        ID_LOOP_CLEAR, MenuEntry(L"Clear", ID_LOOP_CLEAR));
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(loop), L"Loop");
    AppendMenuW(menu, Flags(practice.MetronomeOn(), TRUE), ID_METRONOME, MenuEntry(L"Metronome", ID_METRONOME));
    m_dialog.m_pPracticeTools->AppendMenu(menu);

    HMENU mute = CreatePopupMenu();
    HMENU solo = CreatePopupMenu();
    for (int channel = 0; channel < 16; ++channel) {
        const std::wstring name = L"Channel " + std::to_wstring(channel + 1);
        const WORD muteId = static_cast<WORD>(ID_MUTE_FIRST + channel);
        AppendMenuW(mute, Flags(practice.IsMuted(channel), TRUE), muteId, MenuEntry(name.c_str(), muteId));
        AppendMenuW(solo, Flags(practice.SoloChannel() == channel, TRUE), ID_SOLO_FIRST + channel, name.c_str());
    }
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(mute), L"Mute");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(solo), L"Solo");
    AppendMenuW(menu, Flags(FALSE, practice.AnyMuted()), ID_UNMUTE_ALL, L"Unmute all");
    AppendMixMenus(menu);
    AppendMenuW(menu, Flags(FALSE, m_dialog.m_songMemory.HasSong()), ID_FORGET_SONG, L"Forget this song's settings");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);

    for (const auto& [id, text] : { std::pair { ID_LYRICS_WINDOW, L"Lyrics" }, std::pair { ID_KEYBOARD_WINDOW, L"Keyboard" },
             std::pair { ID_MIXER_WINDOW, L"Mixer" } })
        AppendMenuW(menu, Flags(m_dialog.m_pViews->IsOpen(id), TRUE), id, MenuEntry(text, id));
    HMENU zoom = CreatePopupMenu();
    for (int n = kMinWindowZoom; n <= kMaxWindowZoom; ++n)
        AppendMenuW(zoom, Flags(m_dialog.m_nZoom == n, TRUE), ID_ZOOM_FIRST + n, std::to_wstring(n).c_str());
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(zoom), L"Zoom");
    AppendMenuW(menu, MF_STRING, ID_SETTINGS, L"Settings...");
    AppendMenuW(menu, MF_STRING, ID_KEY_HELP, MenuEntry(L"Keyboard help", ID_KEY_HELP));
    AppendMenuW(menu, MF_STRING, ID_ABOUT, L"About");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ID_QUIT, MenuEntry(L"Quit", ID_QUIT));
    return menu;
}

void CFaceCommands::AppendMixMenus(HMENU menu) const
{
    const CMixerValues& mix = m_dialog.m_mixer.Values();
    const CChannelNames& names = m_dialog.m_pViews->m_mixer.Names();
    HMENU emphasis = CreatePopupMenu();
    HMENU minusOne = CreatePopupMenu();
    BOOL any = FALSE;
    for (int channel = 0; channel < 16; ++channel) {
        if (!names.IsUsed(channel))
            continue;
        any = TRUE;
        const CString name = CString(std::to_wstring(channel + 1).c_str()) + L" " + names.Name(channel);
        const BOOL focused = mix.focusChannel == channel;
        AppendMenuW(emphasis, Flags(focused && mix.focus == CMixerValues::FOCUS_EMPHASIS, TRUE), ID_EMPHASIS_FIRST + channel, name);
        AppendMenuW(minusOne, Flags(focused && mix.focus == CMixerValues::FOCUS_MINUS_ONE, TRUE), ID_MINUS_ONE_FIRST + channel, name);
    }
    AppendMenuW(menu, MF_POPUP | Flags(FALSE, any), reinterpret_cast<std::uintptr_t>(emphasis), L"Emphasis");
    AppendMenuW(menu, MF_POPUP | Flags(FALSE, any), reinterpret_cast<std::uintptr_t>(minusOne), L"Minus one");
    AppendMenuW(menu, Flags(FALSE, !mix.IsNeutral()), ID_MIX_RESET, L"Mixer as in the song");
    AppendMenuW(menu, Flags(FALSE, m_dialog.m_playerState.m_length > 0), ID_EXPORT_PRACTICE, L"Export practice track\u2026");
}

void CFaceCommands::OnContextMenu(int x, int y)
{
    HMENU menu = BuildMenu();
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, x, y, 0, m_dialog.m_hWnd, nullptr));
    DestroyMenu(menu);
    if (chosen != 0)
        m_dialog.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
}

void CFaceCommands::OnMouseWheel(short delta, int x, int y)
{
    POINT point { x, y };
    ScreenToClient(m_dialog.m_hWnd, &point);
    // Wheels that turn in small steps (touch pads) add up to whole notches.
    m_dialog.m_nWheelRest += delta;
    const int notches = m_dialog.m_nWheelRest / WHEEL_DELTA;
    m_dialog.m_nWheelRest -= notches * WHEEL_DELTA;
    if (notches == 0)
        return;
    if (Inside(CFaceLayout::kTempoBox, point))
        m_dialog.StepTempo(notches);
    else if (Inside(CFaceLayout::kTransposeBox, point))
        m_dialog.StepTranspose(notches);
}

void CFaceCommands::OnMeterClick(int channel, UINT flags)
{
    if (flags & MK_CONTROL)
        m_dialog.m_practice.ToggleSolo(channel);
    else
        m_dialog.m_practice.ToggleMute(channel);
    ShowPractice();
}

void CFaceCommands::ShowPractice()
{
    const CPractice& practice = m_dialog.m_practice;
    BOOL dirty = FALSE;
    if (m_dialog.m_pLoopMarks)
        dirty |= m_dialog.m_pLoopMarks->SetLoop(practice.LoopStart(), practice.LoopEnd(),
            m_dialog.m_playerState.m_length, practice.LoopOn());
    if (m_dialog.m_pMeter) {
        for (int channel = 0; channel < 16; ++channel)
            dirty |= m_dialog.m_pMeter->SetMuted(channel, practice.IsMuted(channel));
    }
    m_dialog.m_pViews->m_mixer.Refresh();
    if (dirty && m_dialog.m_hWnd) {
        CClientDC dc(&m_dialog);
        m_dialog.RedrawControls(&dc, FALSE);
    }
    m_dialog.m_pPracticeTools->ShowStatus();
}
