#pragma once

#include "platform/ui/qt/CQtControl.h"

class CProgressControl;
class QProgressBar;

// Shows a progress bar without text, as the system's own.
class CQtProgressBar : public CQtControl {
public:
    CQtProgressBar(CProgressControl& control, CQtDialogWindow& dialog);

    void ControlChanged(UINT message, WPARAM wParam) override;

private:
    QProgressBar* m_bar;
};
