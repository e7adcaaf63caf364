#include "platform/ui/qt/CQtTrackBar.h"

#include "platform/ui/CTrackBarControl.h"
#include "platform/ui/qt/CQtDialogWindow.h"

#include <QSignalBlocker>
#include <QSlider>

namespace {

int ScrollCode(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return TB_LINEDOWN;
    case QAbstractSlider::SliderSingleStepSub: return TB_LINEUP;
    case QAbstractSlider::SliderPageStepAdd: return TB_PAGEDOWN;
    case QAbstractSlider::SliderPageStepSub: return TB_PAGEUP;
    case QAbstractSlider::SliderToMinimum: return TB_TOP;
    case QAbstractSlider::SliderToMaximum: return TB_BOTTOM;
    case QAbstractSlider::SliderMove: return TB_THUMBTRACK;
    default: return -1;
    }
}

}

CQtTrackBar::CQtTrackBar(CTrackBarControl& control, CQtDialogWindow& dialog)
    : CQtControl(control, dialog, new QSlider(&dialog))
    , m_slider(static_cast<QSlider*>(Widget()))
{
    if (control.IsVertical()) {
        m_slider->setOrientation(Qt::Vertical);
        m_slider->setInvertedAppearance(true);
        m_slider->setInvertedControls(true);
    } else {
        m_slider->setOrientation(Qt::Horizontal);
    }
    ControlChanged(TBM_SETRANGE, 0);
    // The slider has already moved when it reports the action.
    QObject::connect(m_slider, &QAbstractSlider::actionTriggered, Context(), [this](int action) {
        if (const int code = ScrollCode(action); code >= 0)
            Scrolled(code, m_slider->sliderPosition());
    });
    QObject::connect(m_slider, &QAbstractSlider::sliderReleased, Context(),
        [this]() { Scrolled(TB_THUMBPOSITION, m_slider->sliderPosition()); });
}

void CQtTrackBar::Scrolled(int code, int pos)
{
    if (auto* control = dynamic_cast<CTrackBarControl*>(Control()))
        control->ScrollByUser(code, pos);
}

void CQtTrackBar::ControlChanged(UINT, WPARAM)
{
    auto* control = dynamic_cast<CTrackBarControl*>(Control());
    if (!control)
        return;
    QSignalBlocker quiet(m_slider);
    m_slider->setRange(control->Min(), control->Max());
    m_slider->setPageStep(control->PageSize());
    m_slider->setValue(control->Pos());
}
