#include "platform/ui/qt/QtPopupMenu.h"

#include "platform/ui/qt/QtWindows.h"

#include <QAction>
#include <QMenu>

void FillQtMenu(QMenu& target, HMENU menu)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT state = GetMenuState(menu, i);
        if (state & MF_SEPARATOR) {
            target.addSeparator();
            continue;
        }
        // QMenu, like the system's menus, shows what follows a tab as the
        // entry's shortcut.
        const QString text = ToQString(GetMenuText(menu, i));
        QAction* action = nullptr;
        if (HMENU sub = GetSubMenu(menu, i)) {
            QMenu* child = target.addMenu(text);
            FillQtMenu(*child, sub);
            action = child->menuAction();
        } else {
            action = target.addAction(text);
            action->setData(GetMenuItemID(menu, i));
        }
        if (state & MF_CHECKED) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        action->setEnabled(!(state & MF_GRAYED));
    }
}

// The pop-up menu runner of the Qt backend: shows the menu at the screen
// position and waits for a choice.
UINT RunQtPopupMenu(HMENU menu, int x, int y, HWND)
{
    QMenu shown;
    FillQtMenu(shown, menu);
    QAction* chosen = shown.exec(QPoint(x, y));
    return chosen ? chosen->data().toUInt() : 0;
}
