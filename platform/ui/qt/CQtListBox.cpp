#include "platform/ui/qt/CQtListBox.h"

#include "platform/ui/CListBoxControl.h"
#include "platform/ui/WindowPlacement.h"
#include "platform/ui/qt/CQtDialogWindow.h"
#include "platform/ui/qt/CQtModelessWindow.h"
#include "platform/ui/qt/QtWindows.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <functional>

namespace {

// Hands the events of the list and its rows to the backend first.
class EventHook : public QObject {
public:
    explicit EventHook(std::function<bool(QObject*, QEvent*)> hook) : m_hook(std::move(hook)) { }

protected:
    bool eventFilter(QObject* target, QEvent* event) override { return m_hook(target, event); }

private:
    std::function<bool(QObject*, QEvent*)> m_hook;
};

}

CQtListBox::CQtListBox(CListBoxControl& control, CQtDialogWindow& dialog)
    : CQtControl(control, dialog, new QTreeWidget(&dialog))
    , m_tree(static_cast<QTreeWidget*>(Widget()))
{
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setItemsExpandable(false);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setAllColumnsShowFocus(true);
    // Drops go to the dialog's window, as on the system's own list box.
    m_tree->setAcceptDrops(false);
    m_tree->viewport()->setAcceptDrops(false);
    ShowColumns();
    QObject::connect(m_tree, &QTreeWidget::currentItemChanged, Context(), [this](QTreeWidgetItem* item) {
        if (CListBoxControl* list = List())
            list->SelectByUser(item ? m_tree->indexOfTopLevelItem(item) : -1);
    });
    QObject::connect(m_tree, &QTreeWidget::itemDoubleClicked, Context(), [this](QTreeWidgetItem* item) {
        if (CListBoxControl* list = List())
            list->DoubleClickByUser(m_tree->indexOfTopLevelItem(item));
    });
    m_filter = std::make_unique<EventHook>([this](QObject* target, QEvent* event) { return Filter(target, event); });
    m_tree->installEventFilter(m_filter.get());
    m_tree->viewport()->installEventFilter(m_filter.get());
}

CQtListBox::~CQtListBox()
{
    // The widget may outlive the backend by a moment.
    m_tree->removeEventFilter(m_filter.get());
    m_tree->viewport()->removeEventFilter(m_filter.get());
}

CListBoxControl* CQtListBox::List() const
{
    return dynamic_cast<CListBoxControl*>(Control());
}

void CQtListBox::ControlChanged(UINT message, WPARAM wParam)
{
    CListBoxControl* list = List();
    if (!list)
        return;
    QSignalBlocker quiet(m_tree);
    const int index = static_cast<int>(wParam);
    switch (message) {
    case LB_INSERTSTRING:
        m_tree->insertTopLevelItem(index, MakeItem(index));
        break;
    case LB_DELETESTRING:
        delete m_tree->takeTopLevelItem(index);
        break;
    case LB_RESETCONTENT:
        m_tree->clear();
        break;
    case LB_SETTABSTOPS:
        ShowColumns();
        Fill();
        break;
    case LBN_ITEMMOVED:
        // A drag in this widget moves just its row.
        if (m_moveTo >= 0)
            m_tree->insertTopLevelItem(m_moveTo, m_tree->takeTopLevelItem(index));
        else
            Fill();
        break;
    default:
        break;
    }
    ShowMark();
    ShowSelection();
}

QTreeWidgetItem* CQtListBox::MakeItem(int index) const
{
    const QString text = ToQString(List()->Text(index));
    const QStringList columns = List()->TabStops().empty() ? QStringList { text } : text.split(QLatin1Char('\t'));
    auto* item = new QTreeWidgetItem(columns);
    if (index == List()->Marked()) {
        QFont bold = m_tree->font();
        bold.setBold(true);
        for (int column = 0; column < columns.size(); ++column)
            item->setFont(column, bold);
    }
    return item;
}

void CQtListBox::Fill()
{
    m_tree->clear();
    QList<QTreeWidgetItem*> items;
    for (int index = 0; index < List()->Count(); ++index)
        items.append(MakeItem(index));
    m_tree->addTopLevelItems(items);
    m_shownMark = List()->Marked();
}

void CQtListBox::ShowColumns()
{
    // Each column ends where the next tab stop begins; the last takes the
    // rest of the width.
    const std::vector<int>& stops = List()->TabStops();
    m_tree->setColumnCount(static_cast<int>(stops.size()) + 1);
    int start = 0;
    for (size_t column = 0; column < stops.size(); ++column) {
        m_tree->setColumnWidth(static_cast<int>(column), (stops[column] - start) * kPixelsPerDialogUnit);
        start = stops[column];
    }
    m_tree->header()->setStretchLastSection(true);
}

void CQtListBox::ShowMark()
{
    const int marked = List()->Marked();
    if (marked == m_shownMark)
        return;
    for (int index : { m_shownMark, marked }) {
        if (QTreeWidgetItem* item = m_tree->topLevelItem(index)) {
            QFont font = m_tree->font();
            font.setBold(index == marked);
            for (int column = 0; column < item->columnCount(); ++column)
                item->setFont(column, font);
        }
    }
    m_shownMark = marked;
}

void CQtListBox::ShowSelection()
{
    const int selection = List()->Selection();
    QTreeWidgetItem* item = m_tree->topLevelItem(selection);
    if (item == m_tree->currentItem() && (!item || item->isSelected()))
        return;
    if (item) {
        m_tree->setCurrentItem(item);
        m_tree->scrollToItem(item);
    } else {
        m_tree->clearSelection();
        m_tree->setCurrentItem(nullptr);
    }
}

bool CQtListBox::Filter(QObject* target, QEvent* event)
{
    CListBoxControl* list = List();
    if (!list)
        return false;
    if (target == m_tree && event->type() == QEvent::KeyPress) {
        auto* press = static_cast<QKeyEvent*>(event);
        // Escape and Enter belong to the dialog, Tab to the focus chain.
        const int key = press->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab
            || key == Qt::Key_Backtab)
            return false;
        const UINT vk = CQtModelessWindow::DialogKey(*press);
        return vk && list->KeyByUser(vk);
    }
    const QEvent::Type type = event->type();
    if (target != m_tree->viewport() || !list->Item().HasStyle("LBS_DRAGREORDER")
        || (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove))
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
        m_dragged = m_tree->indexOfTopLevelItem(m_tree->itemAt(mouse->position().toPoint()));
    if (type == QEvent::MouseButtonRelease)
        m_dragged = -1;
    if (type != QEvent::MouseMove || m_dragged < 0 || !(mouse->buttons() & Qt::LeftButton))
        return false;
    // Above the first row or below the last, the item goes to that end.
    QTreeWidgetItem* over = m_tree->itemAt(mouse->position().toPoint());
    const int to = over ? m_tree->indexOfTopLevelItem(over) : (mouse->position().y() < 0 ? 0 : list->Count() - 1);
    if (to != m_dragged && to >= 0) {
        m_moveTo = to;
        list->MoveByUser(m_dragged, to);
        m_moveTo = -1;
        m_dragged = to;
    }
    // The drag moves the item, never the selection over other rows.
    return true;
}
