#include "platform/ui/CButtonControl.h"

#include "platform/ui/CDialog.h"
#include "platform/ui/WindowHandle.h"

bool CButtonControl::IsCheckBox() const
{
    return Item().HasStyle("BS_CHECKBOX") || Item().HasStyle("BS_AUTOCHECKBOX");
}

bool CButtonControl::IsRadioButton() const
{
    return Item().HasStyle("BS_RADIOBUTTON") || Item().HasStyle("BS_AUTORADIOBUTTON");
}

LRESULT CButtonControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case BM_GETCHECK:
        return m_check;
    case BM_SETCHECK:
        if (IsCheckBox() || IsRadioButton())
            SetCheck(wParam == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED);
        return 0;
    case BM_CLICK:
        Click();
        return 0;
    default:
        return CDialogControl::WindowProc(message, wParam, lParam);
    }
}

void CButtonControl::Click()
{
    if (IsGroupBox() || !TakesInput())
        return;
    if (Item().HasStyle("BS_AUTOCHECKBOX")) {
        SetCheck(m_check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    } else if (Item().HasStyle("BS_AUTORADIOBUTTON")) {
        for (CButtonControl* other : RadioGroup()) {
            if (other != this)
                other->SetCheck(BST_UNCHECKED);
        }
        SetCheck(BST_CHECKED);
    }
    Notify(BN_CLICKED);
}

std::vector<CButtonControl*> CButtonControl::RadioGroup() const
{
    std::vector<CButtonControl*> group;
    auto* dialog = IsWindow(m_hWnd) && m_hWnd->parent ? dynamic_cast<CDialog*>(m_hWnd->parent->wnd) : nullptr;
    if (!dialog)
        return group;
    // A group runs from a control with WS_GROUP up to the next one.
    bool mine = false;
    for (const auto& control : dialog->Controls()) {
        if (control->Item().HasStyle("WS_GROUP")) {
            if (mine)
                break;
            group.clear();
        }
        auto* button = dynamic_cast<CButtonControl*>(control.get());
        if (button && button->IsRadioButton())
            group.push_back(button);
        mine = mine || control.get() == this;
    }
    return mine ? group : std::vector<CButtonControl*>();
}

void CButtonControl::SetCheck(int check)
{
    if (check == m_check)
        return;
    m_check = check;
    Changed(BM_SETCHECK);
}
