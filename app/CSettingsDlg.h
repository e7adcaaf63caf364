#pragma once

#include "platform/ui/CDialog.h"

#include <vector>

class CPortList;

// The settings dialog (template 132): edits the drum channel as the user
// counts it, 1-based, in edit control 1011, and chooses the port from a
// drop-down list (1012).
class CSettingsDlg : public CDialog {
public:
    enum { IDD = 132, IDC_DRUM_CHANNEL = 1011, IDC_PORT = 1012 };

    explicit CSettingsDlg(CWnd* parent = nullptr);

    // Offers the ports of the list that need no file name, and the current
    // port (selected), which is added when the list does not hold it.
    void SetPorts(const CPortList& ports, const CString& current);
    // The port chosen, or the current one when nothing is chosen.
    CString GetPort() const;

    // Runs the dialog on the channel and the port; TRUE (with both as
    // chosen) when the user confirmed it, FALSE when it was cancelled.
    static BOOL Edit(CWnd* parent, BYTE& channel, CString& port);

    BYTE m_nDrumChannel { 0 };
    int m_nPort { -1 };

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

private:
    CString m_strCurrentPort;
    std::vector<CString> m_portNames;
    std::vector<CString> m_portLabels;
};
