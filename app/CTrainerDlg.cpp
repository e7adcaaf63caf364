#include "app/CTrainerDlg.h"

#include "platform/ui/CDataExchange.h"
#include "platform/ui/ControlMessages.h"

namespace {

// Bars a loop can be typed with; no song has more.
constexpr int kLastBar = 1000000;

}

CTrainerDlg::CTrainerDlg(CWnd* parent)
    : CDialog(IDD, parent)
{
}

void CTrainerDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_ON, m_nOn);
    DDX_Text(dx, IDC_FROM, m_nFrom);
    DDV_MinMaxInt(dx, m_nFrom, CSpeedTrainerSettings::MIN_PERCENT, CSpeedTrainerSettings::MAX_PERCENT);
    DDX_Text(dx, IDC_TO, m_nTo);
    // The target is never below the start.
    DDV_MinMaxInt(dx, m_nTo, m_nFrom, CSpeedTrainerSettings::MAX_PERCENT);
    DDX_Text(dx, IDC_STEP, m_nStep);
    DDV_MinMaxInt(dx, m_nStep, 1, CSpeedTrainerSettings::MAX_PERCENT);
    DDX_Text(dx, IDC_PASSES, m_nPasses);
    DDV_MinMaxInt(dx, m_nPasses, 1, CSpeedTrainerSettings::MAX_PASSES);
    DDX_Text(dx, IDC_FROM_BAR, m_nFromBar);
    DDV_MinMaxInt(dx, m_nFromBar, 0, kLastBar);
    DDX_Text(dx, IDC_TO_BAR, m_nToBar);
    // 0 and 0 keep the loop as it is; otherwise it ends after it starts.
    DDV_MinMaxInt(dx, m_nToBar, m_nFromBar == 0 ? 0 : m_nFromBar + 1, kLastBar);
}

void CTrainerDlg::OnOK()
{
    if (UpdateData(TRUE))
        CDialog::OnOK();
}

BOOL CTrainerDlg::Edit(CWnd* parent, CSpeedTrainerSettings& trainer, Bars& bars)
{
    CTrainerDlg dialog(parent);
    dialog.m_nOn = trainer.on ? BST_CHECKED : BST_UNCHECKED;
    dialog.m_nFrom = trainer.fromPercent;
    dialog.m_nTo = trainer.toPercent;
    dialog.m_nStep = trainer.stepPercent;
    dialog.m_nPasses = trainer.passesPerStep;
    dialog.m_nFromBar = bars.from;
    dialog.m_nToBar = bars.to;
    if (dialog.DoModal() != IDOK)
        return FALSE;
    trainer.on = dialog.m_nOn == BST_CHECKED;
    trainer.fromPercent = dialog.m_nFrom;
    trainer.toPercent = dialog.m_nTo;
    trainer.stepPercent = dialog.m_nStep;
    trainer.passesPerStep = dialog.m_nPasses;
    bars = Bars { dialog.m_nFromBar, dialog.m_nToBar };
    return TRUE;
}
