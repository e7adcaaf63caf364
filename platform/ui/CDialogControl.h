#pragma once

#include "platform/ui/CDialogTemplate.h"
#include "platform/ui/CWnd.h"

#include <vector>

// A control of a dialog, made from one item of its template. Its window
// text is the control's text; the window backend mirrors it in a widget and
// writes what the user types back into it. A COMBOBOX also keeps its list
// and selection, reached through the CB_ messages.
class CDialogControl : public CWnd {
public:
    explicit CDialogControl(const CDialogTemplate::Item& item) : m_item(item) { }

    int GetDlgCtrlID() const { return m_item.id; }
    const CDialogTemplate::Item& Item() const { return m_item; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const std::vector<CString>& ListItems() const { return m_listItems; }
    int ListSelection() const { return m_listSelection; }
    // The backend reports the user's choice (-1 for none).
    void SelectFromBackend(int index);

private:
    // Tells the backend what the list shows now.
    void ListChanged();

    CDialogTemplate::Item m_item;
    std::vector<CString> m_listItems;
    int m_listSelection { CB_ERR };
};
