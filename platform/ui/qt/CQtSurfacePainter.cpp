#include "platform/ui/qt/CQtSurfacePainter.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/WindowHandle.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

void CQtSurfacePainter::Paint(QWidget& widget, HWND hwnd, const QRegion& region)
{
    if (!IsWindow(hwnd))
        return;
    m_painting = region;
    UpdateWindow(hwnd);
    m_painting = QRegion();
    if (!IsWindow(hwnd))
        return;
    const CPixelBuffer& surface = hwnd->surface;
    if (m_opaque.width() != surface.width || m_opaque.height() != surface.height)
        m_opaque = QImage(surface.width, surface.height, QImage::Format_RGB32);
    QPainter painter(&widget);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& part : region) {
        const QRect source = part & QRect(0, 0, surface.width, surface.height);
        for (int y = source.top(); y <= source.bottom(); ++y) {
            const std::uint32_t* in = &surface.pixels[static_cast<size_t>(y) * static_cast<size_t>(surface.width)];
            auto* out = reinterpret_cast<QRgb*>(m_opaque.scanLine(y));
            // The format wants 0xFF in the top byte.
            for (int x = source.left(); x <= source.right(); ++x)
                out[x] = 0xFF000000u | in[x];
        }
        if (!source.isEmpty())
            painter.drawImage(source.topLeft(), m_opaque, source);
    }
}

void CQtSurfacePainter::SurfaceChanged(QWidget& widget, const RECT& area) const
{
    const QRect changed(area.left, area.top, area.right - area.left, area.bottom - area.top);
    if (!QRegion(changed).subtracted(m_painting).isEmpty())
        widget.update(changed);
}
