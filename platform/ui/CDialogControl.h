#pragma once

#include "platform/ui/CDialogTemplate.h"
#include "platform/ui/CWnd.h"

// A control of a dialog, made from one item of its template. Its window
// text is the control's text; the window backend mirrors it in a widget and
// writes what the user types back into it.
class CDialogControl : public CWnd {
public:
    explicit CDialogControl(const CDialogTemplate::Item& item) : m_item(item) { }

    int GetDlgCtrlID() const { return m_item.id; }
    const CDialogTemplate::Item& Item() const { return m_item; }

private:
    CDialogTemplate::Item m_item;
};
