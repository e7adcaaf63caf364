#pragma once

#include "platform/ui/CDialog.h"
#include "player/CCountInSettings.h"
#include "player/CMetronomeSettings.h"

// The metronome and count-in dialog (template 140): the click sound (1401),
// its volume in per cent (1402), every eighth in compound meters (1403),
// the count-in's bars (1404: Off, 1 bar, 2 bars) and whether each pass of
// the loop is counted in (1405).
class CPracticeDlg : public CDialog {
public:
    enum { IDD = 140, IDC_SOUND = 1401, IDC_VOLUME = 1402, IDC_EIGHTHS = 1403, IDC_COUNT_IN = 1404,
        IDC_EACH_PASS = 1405 };

    explicit CPracticeDlg(CWnd* parent = nullptr);

    // Runs the dialog on the settings; TRUE (with them as chosen) when the
    // user confirmed it.
    static BOOL Edit(CWnd* parent, CMetronomeSettings& metronome, CCountInSettings& countIn);

    int m_nSound { 0 };
    int m_nVolume { CMetronomeSettings::MAX_VOLUME };
    int m_nEighths { 0 };
    int m_nCountIn { 0 };
    int m_nEachPass { 0 };

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
};
