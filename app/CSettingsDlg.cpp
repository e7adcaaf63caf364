#include "app/CSettingsDlg.h"

#include "platform/ui/CDataExchange.h"

CSettingsDlg::CSettingsDlg(CWnd* parent)
    : CDialog(IDD, parent)
{
}

void CSettingsDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_DRUM_CHANNEL, m_nDrumChannel);
}

void CSettingsDlg::OnOK()
{
    // The base class reads the edit once more; doing so after a failed read
    // would show the parse message a second time, so it is reached only
    // when the text was accepted.
    if (UpdateData(TRUE))
        CDialog::OnOK();
}
