#pragma once

#include "platform/ui/CDialogTemplate.h"
#include "platform/ui/CWnd.h"

#include <memory>
#include <vector>

// A control of a dialog, made from one item of its template. Its window
// text is the control's text; the window backend mirrors it in a widget and
// writes what the user types back into it. A COMBOBOX also keeps its list
// and selection, reached through the CB_ messages. The other kinds with a
// state of their own (ControlMessages.h) are classes of their own.
class CDialogControl : public CWnd {
public:
    explicit CDialogControl(const CDialogTemplate::Item& item) : m_item(item) { }

    // The control for a template item: its class and styles choose the kind.
    static std::unique_ptr<CDialogControl> Make(const CDialogTemplate::Item& item);

    int GetDlgCtrlID() const { return m_item.id; }
    const CDialogTemplate::Item& Item() const { return m_item; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const std::vector<CString>& ListItems() const { return m_listItems; }
    int ListSelection() const { return m_listSelection; }
    // The backend reports the user's choice (-1 for none); another entry
    // than before is told to the dialog (CBN_SELCHANGE).
    void SelectFromBackend(int index);

protected:
    // Sends the dialog a notification as the user's action causes it: its
    // answer, or 0 without a dialog.
    LRESULT SendToParent(UINT message, WPARAM wParam, LPARAM lParam) const;
    // WM_COMMAND with the control's id and the code.
    void Notify(UINT code) const;
    // Tells the backend that the message changed what the control shows.
    void Changed(UINT message, WPARAM wParam = 0) const;
    // Input counts only while the control and its dialog are enabled.
    bool TakesInput() const;

private:
    // Tells the backend what the list shows now.
    void ListChanged();

    CDialogTemplate::Item m_item;
    std::vector<CString> m_listItems;
    int m_listSelection { CB_ERR };
};
