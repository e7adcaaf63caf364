#pragma once

#include "platform/ui/CDialog.h"

// The settings dialog (template 132): edits the drum channel as the user
// counts it, 1-based, in edit control 1011.
class CSettingsDlg : public CDialog {
public:
    enum { IDD = 132, IDC_DRUM_CHANNEL = 1011 };

    explicit CSettingsDlg(CWnd* parent = nullptr);

    BYTE m_nDrumChannel { 0 };

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
};
