#include "app/CSettingsDlg.h"

#include "app/DrumChannel.h"
#include "platform/comm/CPortList.h"
#include "platform/ui/CDataExchange.h"
#include "platform/ui/ControlMessages.h"

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
    DDX_Check(dx, IDC_SEND_SYSEX, m_nSendSysEx);
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
    dialog.SetPorts(CPortList::Scan(false), port);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    choices.drumChannel = DrumChannelFromDialog(dialog.m_nDrumChannel);
    choices.sendSysEx = dialog.m_nSendSysEx == BST_CHECKED ? 1 : 0;
    // A list without a choice keeps the reset as it was.
    if (dialog.m_nReset >= 0)
        choices.reset = dialog.m_nReset;
    port = dialog.GetPort();
    return TRUE;
}
