#pragma once

#include "platform/ui/qt/CQtSurfacePainter.h"

#include <QWidget>

// A child widget that shows the client surface of a control the dialog
// draws itself (SS_OWNERDRAW), and hands it the stylus as window messages.
class CQtSurfaceView : public QWidget {
public:
    explicit CQtSurfaceView(QWidget* parent);

    // The control's handle, once it exists; null when it is gone.
    void SetWindow(HWND hwnd) { m_hwnd = hwnd; }
    void SurfaceChanged(const RECT& area) { m_painter.SurfaceChanged(*this, area); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Send(UINT message, QMouseEvent* event);

    HWND m_hwnd { nullptr };
    CQtSurfacePainter m_painter;
};
