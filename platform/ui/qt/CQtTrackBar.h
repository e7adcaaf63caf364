#pragma once

#include "platform/ui/qt/CQtControl.h"

class CTrackBarControl;
class QSlider;

// Shows a trackbar as a slider, vertical with TBS_VERT (its minimum at the
// top). The user's moves go to the control as TB_ codes: dragging the thumb
// is TB_THUMBTRACK and its release TB_THUMBPOSITION; a click beside the
// thumb, a key or the wheel a page or line step or an end.
class CQtTrackBar : public CQtControl {
public:
    CQtTrackBar(CTrackBarControl& control, CQtDialogWindow& dialog);

    void ControlChanged(UINT message, WPARAM wParam) override;

private:
    void Scrolled(int code, int pos);

    QSlider* m_slider;
};
