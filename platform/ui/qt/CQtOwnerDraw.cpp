#include "platform/ui/qt/CQtOwnerDraw.h"

#include "platform/ui/COwnerDrawStatic.h"
#include "platform/ui/qt/CQtDialogWindow.h"
#include "platform/ui/qt/CQtSurfaceView.h"

CQtOwnerDraw::CQtOwnerDraw(COwnerDrawStatic& control, CQtDialogWindow& dialog)
    : CQtControl(control, dialog, new CQtSurfaceView(&dialog))
    , m_view(static_cast<CQtSurfaceView*>(Widget()))
{
}

void CQtOwnerDraw::Invalidate(const RECT& area, bool)
{
    // The handle is made after the backend; its first invalidation comes
    // once it exists.
    if (Control())
        m_view->SetWindow(Control()->m_hWnd);
    m_view->update(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

void CQtOwnerDraw::SurfaceChanged(const RECT& area)
{
    m_view->SurfaceChanged(area);
}

void CQtOwnerDraw::Destroyed()
{
    m_view->SetWindow(nullptr);
    CQtControl::Destroyed();
}
