#pragma once

#include "platform/ui/CDialogControl.h"
#include "platform/ui/ControlMessages.h"

#include <vector>

// A BUTTON control: a push button, a check box or radio button (automatic
// or not; BS_PUSHLIKE shows one as a button that stays down) or a group box.
// It keeps its check state; a click, by the user or BM_CLICK, changes it as
// its style says and sends BN_CLICKED to the dialog.
class CButtonControl : public CDialogControl {
public:
    explicit CButtonControl(const CDialogTemplate::Item& item) : CDialogControl(item) { }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool IsCheckBox() const;
    bool IsRadioButton() const;
    bool IsGroupBox() const { return Item().HasStyle("BS_GROUPBOX"); }
    int Check() const { return m_check; }

    // The user clicked the button (nothing happens while it is disabled).
    void Click();
    // The radio buttons of this button's group, in template order.
    std::vector<CButtonControl*> RadioGroup() const;

private:
    void SetCheck(int check);

    int m_check { BST_UNCHECKED };
};
