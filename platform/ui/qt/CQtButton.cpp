#include "platform/ui/qt/CQtButton.h"

#include "platform/ui/CButtonControl.h"
#include "platform/ui/qt/CQtDialogWindow.h"
#include "platform/ui/qt/QtWindows.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

QWidget* MakeWidget(CButtonControl& control, QWidget* parent)
{
    if (control.IsGroupBox()) {
        auto* box = new QGroupBox(parent);
        // It frames the controls drawn over it and takes none of their input.
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        return box;
    }
    if (control.Item().HasStyle("BS_PUSHLIKE")) {
        auto* button = new QPushButton(parent);
        button->setCheckable(true);
        return button;
    }
    if (control.IsRadioButton()) {
        auto* radio = new QRadioButton(parent);
        // The control keeps the group.
        radio->setAutoExclusive(false);
        return radio;
    }
    return new QCheckBox(parent);
}

}

CQtButton::CQtButton(CButtonControl& control, CQtDialogWindow& dialog)
    : CQtControl(control, dialog, MakeWidget(control, &dialog))
    , m_button(dynamic_cast<QAbstractButton*>(Widget()))
{
    if (!m_button) {
        Widget()->lower();
        Widget()->setFocusPolicy(Qt::NoFocus);
        return;
    }
    QObject::connect(m_button, &QAbstractButton::clicked, Context(), [this]() {
        if (auto* button = dynamic_cast<CButtonControl*>(Control()))
            button->Click();
        ShowCheck();
    });
}

void CQtButton::SetTitle(const CString& title)
{
    if (m_button)
        m_button->setText(ToQString(title));
    else if (auto* box = dynamic_cast<QGroupBox*>(Widget()))
        box->setTitle(ToQString(title));
}

void CQtButton::ControlChanged(UINT, WPARAM)
{
    ShowCheck();
}

void CQtButton::ShowCheck()
{
    auto* control = dynamic_cast<CButtonControl*>(Control());
    if (!m_button || !control)
        return;
    QSignalBlocker quiet(m_button);
    m_button->setChecked(control->Check() == BST_CHECKED);
}
