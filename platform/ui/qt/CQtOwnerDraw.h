#pragma once

#include "platform/ui/qt/CQtControl.h"

class COwnerDrawStatic;
class CQtSurfaceView;

// Shows a control the dialog draws itself (COwnerDrawStatic): repaints go to
// its surface view, which has the dialog draw on WM_DRAWITEM.
class CQtOwnerDraw : public CQtControl {
public:
    CQtOwnerDraw(COwnerDrawStatic& control, CQtDialogWindow& dialog);

    void Invalidate(const RECT& area, bool erase) override;
    void SurfaceChanged(const RECT& area) override;
    void Destroyed() override;

private:
    CQtSurfaceView* m_view;
};
