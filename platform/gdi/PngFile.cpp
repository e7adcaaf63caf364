#include "platform/gdi/PngFile.h"

#include <QImage>

BOOL WritePng(const CPixelBuffer& pixels, const CString& path)
{
    if (pixels.width == 0 || pixels.height == 0)
        return FALSE;
    QImage image(reinterpret_cast<const uchar*>(pixels.pixels.data()), pixels.width, pixels.height,
        pixels.width * 4, QImage::Format_RGB32);
    return image.save(QString::fromStdWString(path.Str()), "PNG") ? TRUE : FALSE;
}

BOOL ReadPng(const CString& path, CPixelBuffer& pixels)
{
    QImage image;
    if (!image.load(QString::fromStdWString(path.Str()), "PNG"))
        return FALSE;
    image = image.convertToFormat(QImage::Format_RGB32);
    pixels.Resize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            pixels.At(x, y) = line[x] & 0x00FFFFFFu;
    }
    return TRUE;
}
