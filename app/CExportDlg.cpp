#include "app/CExportDlg.h"

#include "app/CPracticeTools.h"
#include "app/CTabrinoDlg.h"
#include "app/SongFileNames.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/CDialogTemplate.h"
#include "platform/ui/CFileDialog.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/WindowHandle.h"

namespace {

const char* const kTemplate = R"(caption "Export practice track"
size 200 62
font 8 "System"
style WS_POPUP|WS_CAPTION|WS_SYSMENU|DS_MODALFRAME|DS_SETFONT
control 1500 STATIC "" 8 8 184 16 WS_CHILD|WS_VISIBLE|SS_LEFT|SS_NOPREFIX
control 1501 msctls_progress32 "" 8 26 184 10 WS_CHILD|WS_VISIBLE|WS_BORDER
control 2 BUTTON "Cancel" 84 42 32 13 WS_CHILD|WS_VISIBLE|WS_TABSTOP|BS_PUSHBUTTON
)";

}

CExportDlg::CExportDlg(CTabrinoDlg& player)
    : CDialog(0, nullptr)
    , m_player(player)
{
}

CExportDlg::~CExportDlg()
{
    Cancel();
    if (m_thread.joinable())
        m_thread.join();
    if (m_hWnd)
        DestroyWindow();
}

CPracticeRender::Settings CExportDlg::CurrentSettings(CTabrinoDlg& player)
{
    CPracticeRender::Settings settings;
    const CPlayerState& state = player.m_playerState;
    for (int channel = 0; channel < 16; ++channel) {
        if (player.m_practice.IsMuted(channel))
            settings.practice.m_muted |= 1u << channel;
    }
    settings.practice.m_mix = player.m_mixer.Values();
    settings.usPerQuarter = state.m_usPerQuarter;
    settings.transpose = state.m_transpose;
    settings.metronome = player.m_practice.MetronomeOn();
    settings.countIn = player.m_countIn.Settings();
    settings.click = player.m_pPracticeTools->Metronome();
    settings.drumChannel = state.m_drumChannel;
    settings.sendSysEx = player.m_output.m_sendSysEx;
    settings.reset = player.m_output.m_reset;
    return settings;
}

BOOL CExportDlg::Start()
{
    if (Rendering()) {
        if (m_hWnd)
            ShowWindow(SW_SHOW);
        return FALSE;
    }
    if (m_player.m_strPath.IsEmpty())
        return FALSE;
    CString name = FileNameOf(m_player.m_strPath);
    const int dot = name.ReverseFind(L'.');
    if (dot > 0)
        name = name.Left(dot);
    CFileDialog dialog(FALSE, L"wav", name + L"-practice.wav", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
        L"WAV Files (*.wav)|*.wav|All Files (*.*)|*.*||", &m_player);
    if (dialog.DoModal() != IDOK || dialog.GetPathName().IsEmpty())
        return FALSE;
    return StartInto(dialog.GetPathName());
}

BOOL CExportDlg::StartInto(const CString& path)
{
    if (Rendering() || m_player.m_strPath.IsEmpty())
        return FALSE;
    m_path = path;
    m_result = CString();
    m_render = std::make_unique<CPracticeRender>(CurrentSettings(m_player));
    if (m_player.m_hWnd && !m_hWnd) {
        CDialogTemplate dialogTemplate;
        if (dialogTemplate.Parse(kTemplate))
            CreateIndirect(dialogTemplate, &m_player);
    }
    if (m_hWnd) {
        SetDlgItemText(ID_TEXT, L"Rendering " + FileNameOf(path) + L"\u2026");
        SendDlgItemMessage(ID_PROGRESS, PBM_SETPOS, 0);
        ShowWindow(SW_SHOW);
    }
    const CString song = m_player.m_strPath;
    const HWND window = m_hWnd;
    CPracticeRender* render = m_render.get();
    if (const CWnd* bar = m_hWnd ? GetDlgItem(ID_PROGRESS) : nullptr) {
        // The progress reaches the window as posts, one a thousandth.
        const HWND progress = bar->m_hWnd;
        render->m_onProgress = [progress](std::int32_t done) { PostMessageW(progress, PBM_SETPOS, WPARAM(done), 0); };
    }
    m_thread = std::thread([render, song, path, window] {
        render->Run(song, path);
        if (window)
            PostMessageW(window, WM_EXPORT_PROGRESS, DONE, 0);
    });
    return TRUE;
}

void CExportDlg::Cancel()
{
    if (m_render)
        m_render->m_cancel = TRUE;
}

void CExportDlg::Finish()
{
    if (!m_thread.joinable())
        return;
    m_thread.join();
    const BOOL cancelled = m_render->m_cancel;
    m_result = m_render->m_progress == 1000 && m_render->m_error.IsEmpty() ? L"The practice track is in " + m_path
                                                                           : m_render->m_error;
    if (m_hWnd)
        ShowWindow(SW_HIDE);
    if (!cancelled && m_hWnd)
        MessageBoxW(nullptr, m_result, L"Export practice track", MB_OK | MB_ICONINFORMATION);
}

BOOL CExportDlg::OnInitDialog()
{
    SendDlgItemMessage(ID_PROGRESS, PBM_SETRANGE32, 0, 1000);
    return CDialog::OnInitDialog();
}

LRESULT CExportDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_EXPORT_PROGRESS) {
        if (wParam == DONE)
            Finish();
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
