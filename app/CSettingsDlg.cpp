#include "app/CSettingsDlg.h"

#include "app/DrumChannel.h"
#include "platform/comm/CPortList.h"
#include "platform/comm/Comm.h"
#include "platform/ui/CDataExchange.h"
#include "platform/ui/CFileDialog.h"
#include "platform/ui/ControlMessages.h"

#include <algorithm>

namespace {

const wchar_t* const kSoundFontFilter = L"SoundFonts (*.sf2;*.sf3)|*.sf2;*.sf3|All Files (*.*)|*.*||";

CString FileNameOf(const CString& path)
{
    const int slash = path.ReverseFind(L'/');
    return slash >= 0 ? path.Mid(slash + 1) : path;
}

}

CSettingsDlg::CSettingsDlg(CWnd* parent)
    : CDialog(IDD, parent)
{
}

void CSettingsDlg::SetPorts(const CPortList& ports, const CString& current)
{
    m_strCurrentPort = current;
    m_portNames.clear();
    m_portLabels.clear();
    m_nPort = -1;
    for (const CPortList::Entry& entry : ports.m_entries) {
        if (entry.needsFile)
            continue;
        if (entry.name == current)
            m_nPort = static_cast<int>(m_portNames.size());
        m_portNames.push_back(entry.name);
        m_portLabels.push_back(entry.name + L"  " + entry.description);
    }
    if (m_nPort < 0 && !current.IsEmpty()) {
        m_nPort = static_cast<int>(m_portNames.size());
        m_portNames.push_back(current);
        m_portLabels.push_back(current);
    }
}

void CSettingsDlg::SetSoundFonts(const std::vector<CString>& paths, const CString& current)
{
    m_strCurrentSoundFont = current;
    m_soundFonts = paths;
    m_nSoundFont = -1;
    ChooseSoundFont(current);
}

void CSettingsDlg::ChooseSoundFont(const CString& path)
{
    if (path.IsEmpty())
        return;
    auto found = std::find(m_soundFonts.begin(), m_soundFonts.end(), path);
    if (found == m_soundFonts.end()) {
        m_soundFonts.push_back(path);
        found = m_soundFonts.end() - 1;
        // A list already shown gets the new entry too.
        SendDlgItemMessage(IDC_SOUNDFONT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FileNameOf(path).GetString()));
    }
    m_nSoundFont = static_cast<int>(found - m_soundFonts.begin());
    SendDlgItemMessage(IDC_SOUNDFONT, CB_SETCURSEL, static_cast<WPARAM>(m_nSoundFont));
}

CString CSettingsDlg::GetSoundFont() const
{
    if (m_nSoundFont < 0 || static_cast<size_t>(m_nSoundFont) >= m_soundFonts.size())
        return m_strCurrentSoundFont;
    return m_soundFonts[static_cast<size_t>(m_nSoundFont)];
}

CString CSettingsDlg::GetPort() const
{
    if (m_nPort < 0 || static_cast<size_t>(m_nPort) >= m_portNames.size())
        return m_strCurrentPort;
    return m_portNames[static_cast<size_t>(m_nPort)];
}

BOOL CSettingsDlg::OnInitDialog()
{
    // The list is filled before the exchange selects the current port.
    SendDlgItemMessage(IDC_PORT, CB_RESETCONTENT);
    for (const CString& label : m_portLabels)
        SendDlgItemMessage(IDC_PORT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.GetString()));
    SendDlgItemMessage(IDC_SOUNDFONT, CB_RESETCONTENT);
    for (const CString& path : m_soundFonts)
        SendDlgItemMessage(IDC_SOUNDFONT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FileNameOf(path).GetString()));
    // In the order of CSerialMidiOut::Reset.
    SendDlgItemMessage(IDC_RESET, CB_RESETCONTENT);
    for (const wchar_t* label : { L"None", L"GM", L"GM2", L"GS", L"XG" })
        SendDlgItemMessage(IDC_RESET, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
    return CDialog::OnInitDialog();
}

void CSettingsDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_DRUM_CHANNEL, m_nDrumChannel);
    DDX_CBIndex(dx, IDC_PORT, m_nPort);
    DDX_CBIndex(dx, IDC_RESET, m_nReset);
    DDX_CBIndex(dx, IDC_SOUNDFONT, m_nSoundFont);
    DDX_Check(dx, IDC_SEND_SYSEX, m_nSendSysEx);
    DDX_Text(dx, IDC_SONG_GAP, m_nSongGap);
    DDV_MinMaxInt(dx, m_nSongGap, 0, 60);
}

LRESULT CSettingsDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_BROWSE && HIWORD(wParam) == BN_CLICKED) {
        CFileDialog dialog(TRUE, L"sf2", L"", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kSoundFontFilter, this);
        // The dialog opens where the chosen SoundFont lies.
        const CString chosen = GetSoundFont();
        const int slash = chosen.ReverseFind(L'/');
        const CString folder = slash > 0 ? chosen.Left(slash) : CString(L"/usr/share/sounds/sf2");
        dialog.m_ofn.lpstrInitialDir = folder;
        if (dialog.DoModal() == IDOK)
            ChooseSoundFont(dialog.GetPathName());
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CSettingsDlg::OnOK()
{
    // The base class reads the edit once more; doing so after a failed read
    // would show the parse message a second time, so it is reached only
    // when the text was accepted.
    if (UpdateData(TRUE))
        CDialog::OnOK();
}

BOOL CSettingsDlg::Edit(CWnd* parent, Choices& choices, CString& port)
{
    CSettingsDlg dialog(parent);
    dialog.m_nDrumChannel = DrumChannelToDialog(choices.drumChannel);
    dialog.m_nSendSysEx = choices.sendSysEx != 0 ? BST_CHECKED : BST_UNCHECKED;
    dialog.m_nReset = choices.reset;
    dialog.m_nSongGap = choices.songGap;
    dialog.SetPorts(CPortList::Scan(false), port);
    dialog.SetSoundFonts(InstalledSoundFonts(), choices.soundFont);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    choices.drumChannel = DrumChannelFromDialog(dialog.m_nDrumChannel);
    choices.sendSysEx = dialog.m_nSendSysEx == BST_CHECKED ? 1 : 0;
    // A list without a choice keeps the reset as it was.
    if (dialog.m_nReset >= 0)
        choices.reset = dialog.m_nReset;
    choices.soundFont = dialog.GetSoundFont();
    choices.songGap = dialog.m_nSongGap;
    port = dialog.GetPort();
    return TRUE;
}
