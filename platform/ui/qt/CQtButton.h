#pragma once

#include "platform/ui/qt/CQtControl.h"

class CButtonControl;
class QAbstractButton;

// Shows a check box, a radio button or a group box of a dialog. A click
// goes to the control, which changes its state and notifies the dialog; the
// widget then shows the control's state, whatever Qt toggled itself (a
// button that is not automatic changes only by BM_SETCHECK).
class CQtButton : public CQtControl {
public:
    CQtButton(CButtonControl& control, CQtDialogWindow& dialog);

    void SetTitle(const CString& title) override;
    void ControlChanged(UINT message, WPARAM wParam) override;

private:
    void ShowCheck();

    QAbstractButton* m_button { nullptr };
};
