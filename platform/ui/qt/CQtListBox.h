#pragma once

#include "platform/ui/qt/CQtControl.h"

#include <memory>

class CListBoxControl;
class QEvent;
class QObject;
class QTreeWidget;
class QTreeWidgetItem;

// Shows a list box as a list of rows, in columns at its tab stops, the
// marked item in bold. The widget follows the control's items one change
// at a time, so filling a long list costs one row per item. The user's
// selection, double click, keys and drags (LBS_DRAGREORDER: pressing an
// item and moving over others) go to the control, which notifies the dialog.
// Files dropped on the list reach the dialog's window (DragAcceptFiles).
class CQtListBox : public CQtControl {
public:
    CQtListBox(CListBoxControl& control, CQtDialogWindow& dialog);
    ~CQtListBox() override;

    void ControlChanged(UINT message, WPARAM wParam) override;

private:
    CListBoxControl* List() const;
    QTreeWidgetItem* MakeItem(int index) const;
    void Fill();
    void ShowColumns();
    void ShowMark();
    void ShowSelection();
    bool Filter(QObject* target, QEvent* event);

    QTreeWidget* m_tree;
    std::unique_ptr<QObject> m_filter;
    // The item shown in bold, the one a drag holds and the place a drag
    // moves it to now (-1: none).
    int m_shownMark { -1 };
    int m_dragged { -1 };
    int m_moveTo { -1 };
};
