#include "platform/ui/qt/CQtSurfaceView.h"

#include "platform/ui/ControlMessages.h"
#include "platform/ui/WindowHandle.h"

#include <QMouseEvent>
#include <QPaintEvent>

CQtSurfaceView::CQtSurfaceView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CQtSurfaceView::paintEvent(QPaintEvent* event)
{
    m_painter.Paint(*this, m_hwnd, event->region());
}

void CQtSurfaceView::mousePressEvent(QMouseEvent* event)
{
    Send(WM_LBUTTONDOWN, event);
}

void CQtSurfaceView::mouseDoubleClickEvent(QMouseEvent* event)
{
    Send(WM_LBUTTONDBLCLK, event);
}

void CQtSurfaceView::Send(UINT message, QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    SendMessageW(m_hwnd, message, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(at.x()), static_cast<WORD>(at.y())));
}
