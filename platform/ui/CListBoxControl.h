#pragma once

#include "platform/ui/CDialogControl.h"
#include "platform/ui/ControlMessages.h"

#include <vector>

// A LISTBOX control with a single selection: its items (text and data),
// the selection, the marked item and the tab stops, reached through the LB_
// messages. The user's actions (a click, a double click, a key, a drag)
// come in through the methods below, from the backend or from WM_KEYDOWN,
// and send the notifications the list's styles ask for.
class CListBoxControl : public CDialogControl {
public:
    explicit CListBoxControl(const CDialogTemplate::Item& item);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int Count() const { return static_cast<int>(m_items.size()); }
    const CString& Text(int index) const { return m_items[static_cast<size_t>(index)].text; }
    int Selection() const { return m_selection; }
    int Marked() const { return m_marked; }
    // Column starts in dialog units; empty without LBS_USETABSTOPS.
    const std::vector<int>& TabStops() const { return m_tabStops; }

    // The user selected the item (-1: none).
    void SelectByUser(int index);
    void DoubleClickByUser(int index);
    // The user dragged the item at from to the place to.
    void MoveByUser(int from, int to);
    // A key pressed in the list: TRUE when the dialog or the list took it.
    BOOL KeyByUser(UINT key);

private:
    struct Entry {
        CString text;
        LPARAM data { 0 };
    };

    bool Valid(WPARAM index) const { return index < m_items.size(); }
    LRESULT Insert(WPARAM index, LPARAM text);
    LRESULT Delete(WPARAM index);

    std::vector<Entry> m_items;
    int m_selection { LB_ERR };
    int m_marked { LB_ERR };
    std::vector<int> m_tabStops;
};
