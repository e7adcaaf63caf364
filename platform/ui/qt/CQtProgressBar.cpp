#include "platform/ui/qt/CQtProgressBar.h"

#include "platform/ui/CProgressControl.h"
#include "platform/ui/qt/CQtDialogWindow.h"

#include <QProgressBar>

CQtProgressBar::CQtProgressBar(CProgressControl& control, CQtDialogWindow& dialog)
    : CQtControl(control, dialog, new QProgressBar(&dialog))
    , m_bar(static_cast<QProgressBar*>(Widget()))
{
    m_bar->setTextVisible(false);
    ControlChanged(PBM_SETRANGE, 0);
}

void CQtProgressBar::ControlChanged(UINT, WPARAM)
{
    if (auto* control = dynamic_cast<CProgressControl*>(Control())) {
        m_bar->setRange(control->Min(), control->Max());
        m_bar->setValue(control->Pos());
    }
}
