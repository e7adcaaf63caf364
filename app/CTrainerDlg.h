#pragma once

#include "platform/ui/CDialog.h"
#include "player/CSpeedTrainerSettings.h"

// The speed trainer dialog (template 141): on or off (1411), the first
// pass's percentage of the song's tempo (1412), the target (1413), the step
// (1414) and the passes per step (1415), and the loop's bars (1416 from,
// 1417 to, counted from 1: 5 to 9 loops bars 5 to 8).
class CTrainerDlg : public CDialog {
public:
    enum { IDD = 141, IDC_ON = 1411, IDC_FROM = 1412, IDC_TO = 1413, IDC_STEP = 1414, IDC_PASSES = 1415,
        IDC_FROM_BAR = 1416, IDC_TO_BAR = 1417 };

    // The loop's bars; 0 for none.
    struct Bars {
        int from;
        int to;
    };

    explicit CTrainerDlg(CWnd* parent = nullptr);

    // Runs the dialog; TRUE (with the values as chosen) when the user
    // confirmed it.
    static BOOL Edit(CWnd* parent, CSpeedTrainerSettings& trainer, Bars& bars);

    int m_nOn { 0 };
    int m_nFrom { 70 };
    int m_nTo { 100 };
    int m_nStep { 5 };
    int m_nPasses { 2 };
    int m_nFromBar { 0 };
    int m_nToBar { 0 };

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
};
