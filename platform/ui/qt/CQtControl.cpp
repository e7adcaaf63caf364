#include "platform/ui/qt/CQtControl.h"

#include "platform/ui/CButtonControl.h"
#include "platform/ui/CListBoxControl.h"
#include "platform/ui/COwnerDrawStatic.h"
#include "platform/ui/CProgressControl.h"
#include "platform/ui/CTrackBarControl.h"
#include "platform/ui/WindowHandle.h"
#include "platform/ui/qt/CQtButton.h"
#include "platform/ui/qt/CQtDialogWindow.h"
#include "platform/ui/qt/CQtListBox.h"
#include "platform/ui/qt/CQtOwnerDraw.h"
#include "platform/ui/qt/CQtProgressBar.h"
#include "platform/ui/qt/CQtTrackBar.h"
#include "platform/ui/qt/QtWindows.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QLineEdit>
#include <QPushButton>

namespace {

Qt::Alignment StaticAlignment(const CDialogTemplate::Item& item)
{
    if (item.HasStyle("SS_RIGHT"))
        return Qt::AlignRight | Qt::AlignTop;
    if (item.HasStyle("SS_CENTER"))
        return Qt::AlignHCenter | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignTop;
}

}

std::unique_ptr<CQtControl> CQtControl::Make(CDialogControl& control, CQtDialogWindow& dialog)
{
    if (auto* list = dynamic_cast<CListBoxControl*>(&control))
        return std::make_unique<CQtListBox>(*list, dialog);
    if (auto* bar = dynamic_cast<CTrackBarControl*>(&control))
        return std::make_unique<CQtTrackBar>(*bar, dialog);
    if (auto* progress = dynamic_cast<CProgressControl*>(&control))
        return std::make_unique<CQtProgressBar>(*progress, dialog);
    if (auto* drawn = dynamic_cast<COwnerDrawStatic*>(&control))
        return std::make_unique<CQtOwnerDraw>(*drawn, dialog);
    auto* button = dynamic_cast<CButtonControl*>(&control);
    if (button && (button->IsCheckBox() || button->IsRadioButton() || button->IsGroupBox()))
        return std::make_unique<CQtButton>(*button, dialog);
    return std::make_unique<CQtControl>(control, dialog);
}

CQtControl::CQtControl(CDialogControl& control, CQtDialogWindow& dialog, QWidget* widget)
    : m_widget(widget)
    , m_control(&control)
{
    Place(dialog);
}

CQtControl::CQtControl(CDialogControl& control, CQtDialogWindow& dialog)
    : m_control(&control)
{
    const CDialogTemplate::Item& item = control.Item();
    int id = item.id;
    // The control's handle is made after its backend; the widget reaches it
    // through the control object, checked before every use.
    CDialogControl* owner = &control;
    if (item.className == L"EDIT") {
        auto* edit = new QLineEdit(&dialog);
        QObject::connect(edit, &QLineEdit::textChanged, edit, [owner](const QString& text) {
            if (IsWindow(owner->m_hWnd))
                owner->m_hWnd->title = FromQString(text);
        });
        m_widget = edit;
    } else if (item.className == L"COMBOBOX") {
        auto* combo = new QComboBox(&dialog);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [owner](int index) {
            if (IsWindow(owner->m_hWnd))
                owner->SelectFromBackend(index);
        });
        m_widget = combo;
    } else if (item.className == L"BUTTON") {
        auto* button = new QPushButton(&dialog);
        button->setDefault(item.HasStyle("BS_DEFPUSHBUTTON"));
        CQtDialogWindow* window = &dialog;
        QObject::connect(button, &QPushButton::clicked, button, [window, owner, id]() {
            window->Route(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), reinterpret_cast<LPARAM>(owner->m_hWnd));
        });
        m_widget = button;
    } else {
        auto* label = new QLabel(&dialog);
        label->setAlignment(StaticAlignment(item));
        m_widget = label;
    }
    Place(dialog);
}

void CQtControl::Place(CQtDialogWindow& dialog)
{
    const CDialogTemplate::Item& item = m_control->Item();
    if (!item.HasStyle("WS_TABSTOP"))
        m_widget->setFocusPolicy(item.className == L"STATIC" ? Qt::NoFocus : Qt::ClickFocus);
    m_widget->setGeometry(dialog.DialogUnitsToPixels(item.x, item.y, item.width, item.height));
    m_widget->setFont(dialog.font());
    m_widget->setEnabled(!item.HasStyle("WS_DISABLED"));
    if (item.HasStyle("WS_VISIBLE"))
        m_widget->show();
    else
        m_widget->hide();
}

void CQtControl::Show(bool show, bool)
{
    m_widget->setVisible(show);
}

void CQtControl::Enable(bool enable)
{
    m_widget->setEnabled(enable);
}

void CQtControl::Move(const RECT& rect)
{
    m_widget->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void CQtControl::SetTitle(const CString& title)
{
    QString text = ToQString(title);
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) {
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto* button = qobject_cast<QPushButton*>(m_widget)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(m_widget)) {
        label->setText(text);
    }
}

void CQtControl::SetFocus()
{
    m_widget->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget))
        edit->selectAll();
}

void CQtControl::SetList(const std::vector<CString>& items, int selection)
{
    auto* combo = qobject_cast<QComboBox*>(m_widget);
    if (!combo)
        return;
    // The control set this itself; the widget only follows.
    QSignalBlocker quiet(combo);
    combo->clear();
    for (const CString& item : items)
        combo->addItem(ToQString(item));
    combo->setCurrentIndex(selection);
    // The drop-down shows whole entries even where the box is narrow.
    combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) + 8);
}
