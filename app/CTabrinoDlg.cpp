#include "app/CTabrinoDlg.h"

#include "app/CDisplayRefresh.h"
#include "app/CExportDlg.h"
#include "app/CFaceCommands.h"
#include "app/CPracticeTools.h"
#include "app/CSettingsDlg.h"
#include "app/CSongViews.h"
#include "app/DrumChannel.h"
#include "app/PortSetting.h"
#include "app/SongFileNames.h"
#include "app/NumberSettings.h"
#include "platform/comm/Comm.h"
#include "platform/core/ErrorText.h"
#include "platform/core/MessageBox.h"
#include "platform/core/TickCount.h"
#include "platform/gdi/CClientDC.h"
#include "platform/ui/CFileDialog.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/Icon.h"
#include "skin/CFaceLayout.h"
#include "skin/CSkinMeter.h"
#include "skin/CSkinSlider.h"
#include "player/CMainThread.h"
#include "song/CRing.h"
#include "song/CSongFile.h"
#include "player/CPlayerEngine.h"
#include "player/CSongSettings.h"
#include "player/CTransport.h"

#include <algorithm>

CTabrinoDlg::CTabrinoDlg(CWnd* parent)
    : CSkinDialog(102, parent)
    , m_pViews(std::make_unique<CSongViews>(*this))
    , m_pExport(std::make_unique<CExportDlg>(*this))
    , m_pPracticeTools(std::make_unique<CPracticeTools>(*this))
{
    m_hIcon = LoadIcon(nullptr, 128);
}

CTabrinoDlg::~CTabrinoDlg()
{
    // The song and the player thread go first: the thread's posts reach this
    // window and its face.
    EndPlayer();
    m_pCaptured = nullptr;
    CRing::Clear(m_pControls);
    m_bmpNormal.DeleteObject();
    m_bmpPressed.DeleteObject();
    m_bmpMask.DeleteObject();
    m_fontSmall.DeleteObject();
    m_fontLarge.DeleteObject();
}

BOOL CTabrinoDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    LoadSettings();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    LoadSkins(129, 130, 131);
    CFaceLayout::CreateFonts(m_fontSmall, m_fontLarge);

    CFaceLayout face;
    face.Create(*this, &m_fontSmall, &m_fontLarge);
    m_pVolumeSlider = face.m_pVolumeSlider;
    m_pPositionSlider = face.m_pPositionSlider;
    m_pMeter = face.m_pMeter;
    m_pPositionTime = face.m_pPositionTime;
    m_pPositionBeat = face.m_pPositionBeat;
    m_pLengthTime = face.m_pLengthTime;
    m_pLengthBeat = face.m_pLengthBeat;
    m_pTempoText = face.m_pTempoText;
    m_pTransposeText = face.m_pTransposeText;
    m_pLoopMarks = face.m_pLoopMarks;
    m_pPracticeTools->CreateBadge();
    CenterWindow();

    // The port opens before the player thread can send anything; a port
    // that fails has shown its own message, and the player runs silent.
    if (!IsNoPortName(m_strPort))
        m_output.OpenPort(m_strPort);

    // Files dropped on the face open as with the open button.
    DragAcceptFiles(m_hWnd, TRUE);

    if (!StartPlayerThread()) {
        // The face still works, but nothing can play: play does nothing and
        // nothing waits for a thread that is not there.
        MessageBoxW(nullptr, L"Unable to start the player thread", L"Error", MB_OK | MB_ICONERROR);
    }

    m_bRefresh = TRUE;
    m_dwLastRefresh = GetTickCount();
    m_output.SetVolume(m_nVolume);
    if (m_pVolumeSlider)
        m_pVolumeSlider->SetValue(m_nVolume);

    m_pViews->Restore();
    m_playlistWindow.Restore();
    if (m_startFiles.empty() && !m_strStartFile.IsEmpty())
        m_startFiles.push_back(m_strStartFile);
    // Files named at the start make a new playlist; without them the last
    // one comes back with its current song.
    m_playlist.Load(m_startFiles.empty() ? TRUE : FALSE);
    if (!m_startFiles.empty())
        m_playlist.OpenSongs(m_startFiles);
    // The media keys, the desktop's media widget and later starts of the
    // program reach this window from now on.
    PublishMediaPlayer(m_hWnd, &m_mediaControl, CMediaControl::kPlayerInfo);
    return TRUE;
}

BOOL CTabrinoDlg::DestroyWindow()
{
    WithdrawMediaPlayer(m_hWnd);
    m_bRefresh = FALSE;
    // The song stops and the settings are kept at once; the window goes out
    // of sight before anything waits for the device.
    Transport().Stop();
    m_pPendingSong.reset();
    m_playlist.StopReading();
    SaveSettings();
    m_pViews->Destroy();
    // A practice track being rendered stops, its half file removed.
    m_pExport->Cancel();
    m_pExport->Finish();
    if (m_pExport->m_hWnd)
        m_pExport->DestroyWindow();
    if (m_playlistWindow.m_hWnd)
        m_playlistWindow.DestroyWindow();
    if (m_hWnd)
        ShowWindow(SW_HIDE);
    // The player thread sends the all-off; a slow device gets a while for
    // it, then the close cuts it short. A period that read the refresh flag
    // before it changed has posted by the time the stop is answered.
    if (m_pThread)
        m_playerState.WaitStopped(CLOSE_WAIT);
    m_output.ClosePort();
    return CSkinDialog::DestroyWindow();
}

void CTabrinoDlg::DoDataExchange(CDataExchange*)
{
}

LRESULT CTabrinoDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = HandleMessage(message, wParam, lParam);
    // Painting, the pointer's moves and the meters change nothing the
    // desktop shows; the display's refreshes (its timer or the player
    // thread's post) come after the song's own changes, its end among them.
    const bool quiet = message == WM_PAINT || message == WM_ERASEBKGND || message == WM_MOUSEMOVE
        || (message == WM_COMMAND && LOWORD(wParam) == 1004);
    if (!quiet && m_hWnd) {
        MediaStatusChanged(m_hWnd, m_bSeeked);
        m_bSeeked = FALSE;
    }
    return result;
}

LRESULT CTabrinoDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SKIN_SLIDER)
        return OnSkinSlider(wParam, lParam);
    if (message == WM_DROPFILES) {
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    if (message == WM_APPCOMMAND)
        return m_mediaControl.OnAppCommand(GET_APPCOMMAND_LPARAM(lParam));
    if (message == WM_MEDIA_SETPOSITION) {
        m_mediaControl.SetPositionMicroseconds(static_cast<LONGLONG>(lParam));
        return 0;
    }
    if (message == WM_MEDIA_SETVOLUME) {
        SetMasterVolume(static_cast<int>(lParam));
        return 0;
    }
    if (message == WM_MEDIA_SETREPEAT) {
        m_playlist.SetRepeat(static_cast<CPlaylist::Repeat>(std::clamp<LPARAM>(lParam, 0, 2)));
        return 0;
    }
    if (message == WM_MEDIA_SETSHUFFLE) {
        m_playlist.SetShuffle(lParam != 0 ? TRUE : FALSE);
        return 0;
    }
    if (message == WM_MEDIA_SETRATE) {
        m_mediaControl.SetRateMillionths(static_cast<LONGLONG>(lParam));
        return 0;
    }
    if (message == WM_KEYDOWN && CFaceCommands(*this).OnKeyDown(static_cast<UINT>(wParam), lParam))
        return 0;
    if (message == WM_CONTEXTMENU) {
        const auto position = static_cast<std::uintptr_t>(lParam);
        CFaceCommands(*this).OnContextMenu(static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position)));
        return 0;
    }
    if (message == WM_MOUSEWHEEL) {
        const auto position = static_cast<std::uintptr_t>(lParam);
        CFaceCommands(*this).OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), static_cast<short>(LOWORD(position)),
            static_cast<short>(HIWORD(position)));
        return 0;
    }
    if (message == WM_SKIN_METER) {
        CFaceCommands(*this).OnMeterClick(static_cast<int>(wParam), static_cast<UINT>(lParam));
        return 0;
    }
    if (message == WM_TIMER && wParam == CPlaylistPlayer::GAP_TIMER) {
        m_playlist.OnTimer();
        return 0;
    }
    if (message == WM_TIMER && wParam == CDisplayRefresh::TIMER_ID) {
        OnUpdateDisplay();
        OnUpdateMeters();
        return 0;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == 0) {
        if (CFaceCommands(*this).Run(LOWORD(wParam)))
            return 0;
        switch (LOWORD(wParam)) {
        case 1000: OnButtonFileopen(); return 0;
        case 1001: OnButtonPlay(); return 0;
        case 1002: OnButtonStop(); return 0;
        case 1004: OnUpdateMeters(); return 0;
        case 1005: OnUpdateDisplay(); return 0;
        case CPlayerEngine::OUTPUT_FAILED: OnOutputFailed(); return 0;
        case CPlayerEngine::STOPPED: OnPlayerStopped(); return 0;
        case CSongLoader::LOADED: OnSongLoaded(); return 0;
        case CPlaylistReader::READ:
            m_playlist.OnSongsRead();
            m_playlistWindow.Refresh();
            return 0;
        case 1015: OnButtonTransposeup(); return 0;
        case 1016: OnButtonTransposedown(); return 0;
        case 1017: OnButtonTempoup(); return 0;
        case 1018: OnButtonTempodown(); return 0;
        case 1019: OnButtonSettings(); return 0;
        default: break;
        }
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}

void CTabrinoDlg::OnButtonFileopen()
{
    if (m_playerState.m_playState != STATE_STOPPED)
        return;
    CFileDialog dialog(TRUE, L"mid", L"", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT,
        kSongFileFilter, this);
    // The dialog opens where the last song came from.
    const CString folder = m_recentFiles.LastFolder();
    dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK)
        return;
    // The songs chosen, one or several, are the playlist.
    m_playlist.OpenSongs(dialog.GetPathNames());
}

BOOL CTabrinoDlg::OpenFile(const CString& path, const CString& name)
{
    auto file = std::make_unique<CSongFile>(m_playerState.m_smpteOffset);
    file->Load(path);
    return AcceptSong(std::move(file), path, name);
}

void CTabrinoDlg::BeginOpen(const CString& path, const CString& name)
{
    // The title of the song in place, for a read that fails.
    if (!m_loader.Reading() && !m_pPendingSong)
        m_strSongTitle = GetWindowText();
    if (!m_loader.Begin(m_hWnd, path, name, m_playerState.m_smpteOffset)) {
        OpenFile(path, name);
        return;
    }
    // The window stays responsive while the file is read; the title says
    // what it is busy with until the song is in place.
    SetWindowText(CString(L"TabrinoCE - loading ") + name + L"\u2026");
}

void CTabrinoDlg::OnSongLoaded()
{
    std::unique_ptr<CSongFile> file;
    CString path;
    CString name;
    if (!m_loader.Take(file, path, name))
        return;
    // A read that failed gives the title back before its message shows.
    if (!file->Failure().IsEmpty() && !m_loader.Reading() && !m_pPendingSong)
        SetWindowText(m_strSongTitle);
    AcceptSong(std::move(file), path, name);
}

BOOL CTabrinoDlg::AcceptSong(std::unique_ptr<CSongFile> file, const CString& path, const CString& name)
{
    // The new song is read and checked whole before the old one is touched,
    // so a file that fails leaves the song, the title and the position.
    if (!file->Failure().IsEmpty()) {
        // A song the playlist came to by itself is marked there and passed
        // over; one asked for is told.
        if (!m_playlist.OnSongFailed(path))
            MessageBoxW(nullptr, file->FailureMessage(path), L"", MB_OK);
        return FALSE;
    }
    m_pPendingSong = std::move(file);
    m_strPendingPath = path;
    m_strPendingName = name;
    // A song that plays stops first; the new one takes its place once the
    // player thread has answered, and the window does not wait for that.
    if (m_playerState.m_playState != STATE_STOPPED)
        Transport().Stop();
    TakePendingSong();
    return TRUE;
}

void CTabrinoDlg::TakePendingSong()
{
    if (!m_pPendingSong)
        return;
    // What the user set on the song that goes is noted while it is in place.
    const std::unique_ptr<CSongSettings> settings = SongSettings();
    m_songMemory.LeaveSong(*settings);
    if (!TakeSong(*m_pPendingSong))
        return;
    m_pPendingSong.reset();
    m_strPath = m_strPendingPath;
    m_strSongName = m_strPendingName;
    m_recentFiles.Add(m_strPath);
    Transport().AdoptSong(m_pTracks);
    m_practice.Reset();
    m_mixer.Reset();
    // Markers in place and no bookmarks, before the memory may bring some.
    m_pPracticeTools->SongChanged();
    // Every song, from wherever it was opened, gets what was remembered for it.
    const BOOL remembered = m_songMemory.SongOpened(m_songHash, *settings);
    SetWindowText(CString(L"TabrinoCE - ") + m_strSongName + (remembered ? L" (remembered)" : L""));
    CFaceCommands(*this).ShowPractice();
    CDisplayRefresh(*this).ShowSong();
    m_pViews->SongChanged();
    Invalidate(TRUE);
    const CPlayerState& state = m_playerState;
    m_playlist.OnSongInPlace(m_strPath, m_mediaControl.SongTitle(),
        state.m_tempoMap.MicrosAt(state.m_length, state.m_ppqn, state.m_tempoMap.FirstTempo()));
}

namespace {

// Applies the text of a value that reads itself (FromText) through set.
template <typename Value, typename Set>
CSongSettings::ApplyFn ApplyText(Set set)
{
    return [set](std::string_view text) {
        Value value;
        if (!value.FromText(text))
            return false;
        set(value);
        return true;
    };
}

}

std::unique_ptr<CSongSettings> CTabrinoDlg::SongSettings()
{
    auto settings = std::make_unique<CSongSettings>(*this, m_practice, &m_mixer);
    // The practice tools keep the count-in and the trainer beside the
    // player's, and the bookmarks: a song's values go through them.
    CPracticeTools& tools = *m_pPracticeTools;
    settings->SetEntry("CountIn", [&tools] { return tools.CountIn().ToText(); },
        ApplyText<CCountInSettings>([&tools](const CCountInSettings& value) { tools.SetCountIn(value); }), true);
    settings->SetEntry("Trainer", [&tools] { return tools.Trainer().ToText(); },
        ApplyText<CSpeedTrainerSettings>([&tools](const CSpeedTrainerSettings& value) { tools.SetTrainer(value); }), true);
    settings->SetEntry("Bookmarks", [&tools] { return tools.Bookmarks().ToText(); },
        ApplyText<CBookmarkList>([&tools](const CBookmarkList& value) { tools.SetBookmarks(value); }), false);
    return settings;
}

void CTabrinoDlg::ForgetSong()
{
    if (!m_songMemory.HasSong())
        return;
    m_songMemory.Forget(*SongSettings());
    SetWindowText(CString(L"TabrinoCE - ") + m_strSongName);
    // The title without "(remembered)" is the one the practice status goes
    // after; the song's own settings have no bookmarks.
    m_pPracticeTools->SongChanged();
    m_pPracticeTools->ShowStatus();
    CFaceCommands(*this).ShowPractice();
    m_pViews->m_mixer.MixChanged();
}

void CTabrinoDlg::OnPlayerStopped()
{
    ApplyPendingPort();
    TakePendingSong();
}

void CTabrinoDlg::OnDropFiles(HDROP drop)
{
    const std::vector<CString> songs = CPlaylistPlayer::DroppedSongs(drop);
    if (!songs.empty())
        m_playlist.OpenSongs(songs);
}

void CTabrinoDlg::OnButtonSettings()
{
    CSettingsDlg::Choices choices { m_playerState.m_drumChannel, m_nSendSysEx, m_nReset, GetSynthSoundFont(),
        static_cast<int>((m_playlist.m_gap + 500) / 1000) };
    // The dialog shows what is in force, the command line's choice included.
    if (m_nSendSysExOverride >= 0)
        choices.sendSysEx = m_nSendSysExOverride;
    if (m_nResetOverride >= 0)
        choices.reset = m_nResetOverride;
    CString port = m_strPort;
    if (!CSettingsDlg::Edit(this, choices, port))
        return;
    m_playerState.m_drumChannel = choices.drumChannel;
    m_nSendSysEx = choices.sendSysEx;
    m_nReset = choices.reset;
    m_nSendSysExOverride = -1;
    m_nResetOverride = -1;
    // A pause the dialog shows rounded stays as it was unless changed.
    if (choices.songGap != static_cast<int>((m_playlist.m_gap + 500) / 1000))
        m_playlist.m_gap = static_cast<DWORD>(choices.songGap) * 1000;
    ApplySoundChoices();
    if (choices.soundFont != GetSynthSoundFont() && ChooseSoundFont(choices.soundFont))
        m_strSoundFont = choices.soundFont;
    if (port != m_strPort)
        ChoosePort(port);
}

void CTabrinoDlg::ChoosePort(const CString& port)
{
    m_strPort = port;
    m_strPortSetting = port;
    m_bPortPending = TRUE;
    ApplyPendingPort();
}

void CTabrinoDlg::ApplySoundChoices()
{
    m_output.m_sendSysEx = (m_nSendSysExOverride >= 0 ? m_nSendSysExOverride : m_nSendSysEx) != 0 ? TRUE : FALSE;
    m_output.m_reset = m_nResetOverride >= 0 ? m_nResetOverride : m_nReset;
}

BOOL CTabrinoDlg::ChooseSoundFont(const CString& path)
{
    if (!SoundFontLoads(path)) {
        const CString reason = ErrorText(GetLastError());
        MessageBoxW(nullptr, L"SoundFont " + path + L": " + reason + L"\nThe synthesizer keeps " + GetSynthSoundFont() + L".",
            L"Error", MB_OK | MB_ICONERROR);
        return FALSE;
    }
    SetSynthSoundFont(path);
    // The synthesizer takes its SoundFont when its port opens.
    if (m_strPort.Left(5) == L"synth") {
        m_bPortPending = TRUE;
        ApplyPendingPort();
    }
    return TRUE;
}

void CTabrinoDlg::ApplyPendingPort()
{
    if (!m_bPortPending || m_playerState.m_playState != STATE_STOPPED)
        return;
    m_bPortPending = FALSE;
    m_output.ClosePort();
    if (!IsNoPortName(m_strPort))
        m_output.OpenPort(m_strPort);
}

void CTabrinoDlg::OnOutputFailed()
{
    CString text;
    if (!m_output.TakeWriteFailure(text))
        return;
    MessageBoxW(nullptr, text, L"Error", MB_OK | MB_ICONERROR);
    m_output.ClosePort();
}

LRESULT CTabrinoDlg::OnSkinSlider(WPARAM wParam, LPARAM lParam)
{
    const UINT id = static_cast<UINT>(wParam);
    const auto bits = static_cast<std::uintptr_t>(lParam);
    const int code = HIWORD(bits);
    const int value = LOWORD(bits);
    if (id == 1013 && code == SLIDER_NOTIFY_UP)
        SetPosition(CDisplayRefresh::SeekTick(m_playerState.m_length, m_playerState.m_meterMap, value));
    else if (id == 1016 && code != SLIDER_NOTIFY_UP)
        SetMasterVolume(value);
    return 0;
}

void CTabrinoDlg::SetMasterVolume(int volume)
{
    volume = volume < 0 ? 0 : volume > 1000 ? 1000 : volume;
    // The player thread sends it: a slow device holds that thread, not
    // the window.
    m_output.RequestVolume(volume);
    m_playerState.Wake();
    // The slider that is being dragged is where the volume comes from.
    if (m_pVolumeSlider && m_pCaptured != m_pVolumeSlider && m_pVolumeSlider->SetValue(volume) && m_hWnd) {
        CClientDC dc(this);
        RedrawControls(&dc, FALSE);
    }
}

void CTabrinoDlg::ApplyMixer(const CMixerValues& values)
{
    m_mixer.Set(values);
    m_pViews->m_mixer.MixChanged();
}

void CTabrinoDlg::OnUpdateDisplay()
{
    // A song that ended by itself lets a port chosen meanwhile take over.
    ApplyPendingPort();
    CDisplayRefresh(*this).UpdateDisplay();
    m_pViews->Refresh();
    m_pPracticeTools->ShowStatus();
    m_playlist.OnDisplay();
    m_playlistWindow.Refresh();
}

void CTabrinoDlg::OnUpdateMeters()
{
    CDisplayRefresh refresh(*this);
    refresh.UpdateMeters();
    refresh.Pace();
    m_pViews->Refresh();
}

void CTabrinoDlg::LoadSettings()
{
    BYTE channel = m_playerState.m_drumChannel;
    if (LoadDrumChannel(channel))
        m_playerState.m_drumChannel = channel;
    m_loadedDrumChannel = m_playerState.m_drumChannel;
    if (LoadPortSetting(m_strPortSetting))
        m_strPort = m_strPortSetting;
    m_strLoadedPort = m_strPortSetting;
    if (!m_strPortOverride.IsEmpty())
        m_strPort = m_strPortOverride;
    m_nLoadedZoom = 0;
    LoadZoom(m_nLoadedZoom);
    if (LoadVolume(m_nVolume))
        m_nLoadedVolume = m_nVolume;
    LoadSendSysEx(m_nSendSysEx);
    LoadReset(m_nReset);
    m_nLoadedSendSysEx = m_nSendSysEx;
    m_nLoadedReset = m_nReset;
    ApplySoundChoices();
    LoadSoundFontSetting(m_strSoundFont);
    m_strLoadedSoundFont = m_strSoundFont;
    if (!m_strSoundFontOverride.IsEmpty())
        SetSynthSoundFont(m_strSoundFontOverride);
    else if (!m_strSoundFont.IsEmpty())
        SetSynthSoundFont(m_strSoundFont);
    m_recentFiles.Load();
    m_pPracticeTools->Load();
}

void CTabrinoDlg::SaveSettings()
{
    // The drum channel is written at every close; unchanged here, it is
    // written as the settings hold it now.
    BYTE channel = m_playerState.m_drumChannel;
    if (channel == m_loadedDrumChannel)
        LoadDrumChannel(channel);
    SaveDrumChannel(channel);
    if (!m_strPortSetting.IsEmpty() && m_strPortSetting != m_strLoadedPort)
        SavePortSetting(m_strPortSetting);
    if (m_nZoom != 0 && m_nZoom != m_nLoadedZoom)
        SaveZoom(m_nZoom);
    const int volume = m_output.m_volume;
    if (volume != (m_nLoadedVolume < 0 ? 1000 : m_nLoadedVolume))
        SaveVolume(volume);
    if (m_nSendSysEx != m_nLoadedSendSysEx)
        SaveSendSysEx(m_nSendSysEx);
    if (m_nReset != m_nLoadedReset)
        SaveReset(m_nReset);
    if (m_strSoundFont != m_strLoadedSoundFont)
        SaveSoundFontSetting(m_strSoundFont);
    m_recentFiles.Save();
    m_songMemory.LeaveSong(*SongSettings());
    m_songMemory.Write();
    m_pViews->Save();
    m_pPracticeTools->Save();
    m_playlist.Save();
    m_playlistWindow.Save();
}

void CTabrinoDlg::OnButtonPlay()
{
    // Without a player thread nobody would ever answer the start request.
    if (!m_pThread)
        return;
    ApplyPendingPort();
    Transport().Play();
}

void CTabrinoDlg::OnButtonStop()
{
    m_playlist.OnUserStop();
    Transport().Stop();
    ApplyPendingPort();
}

void CTabrinoDlg::OnButtonTempoup()
{
    Transport().StepTempo(1);
}

void CTabrinoDlg::OnButtonTempodown()
{
    Transport().StepTempo(-1);
}

void CTabrinoDlg::OnButtonTransposeup()
{
    Transport().StepTranspose(1);
}

void CTabrinoDlg::OnButtonTransposedown()
{
    Transport().StepTranspose(-1);
}

void CTabrinoDlg::StepTempo(int step)
{
    Transport().StepTempo(step);
}

void CTabrinoDlg::StepTranspose(int step)
{
    Transport().StepTranspose(step);
}

void CTabrinoDlg::SetTranspose(int semitones)
{
    Transport().SetTranspose(semitones);
}

void CTabrinoDlg::SetTempo(int bpm)
{
    Transport().SetTempo(bpm);
}

void CTabrinoDlg::SetPosition(LONGLONG tick)
{
    Transport().SetPosition(tick);
    m_bSeeked = TRUE;
}
