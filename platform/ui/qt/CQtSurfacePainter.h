#pragma once

#include "platform/core/WinTypes.h"

#include <QImage>
#include <QRegion>

class QWidget;

// Shows a window's client surface in a widget, one pixel for one: a paint
// event first has the window paint its invalid part (UpdateWindow), then
// copies the surface under the event's region. What the window draws
// inside that region is shown by the same event; anything drawn elsewhere
// asks for another, which only copies (nothing is invalid by then), so
// drawing never makes a window repaint itself over and over.
class CQtSurfacePainter {
public:
    void Paint(QWidget& widget, HWND hwnd, const QRegion& region);
    // A DC released after drawing on the surface (CWindowBackend).
    void SurfaceChanged(QWidget& widget, const RECT& area) const;

private:
    QRegion m_painting;
    // The surface as Qt's opaque pixel format, refreshed under each region.
    QImage m_opaque;
};
