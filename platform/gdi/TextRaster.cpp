#include "platform/gdi/TextRaster.h"

#include "platform/gdi/CGlyphCache.h"
#include "platform/gdi/GdiConstants.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace {

// Qt needs an application object before it can rasterise text. Programs
// with a window make their own; tools and benchmarks get an off-screen one
// on first use.
void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "tabrino";
    static char* argv[] = { name, nullptr };
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);
}

QFont MakeFont(HFONT font, int pixelSize)
{
    QFont qfont(font && !font->face.IsEmpty() ? QString::fromStdWString(font->face.Str()) : QStringLiteral("Arial"));
    qfont.setPixelSize(std::max(1, pixelSize));
    const int weight = font && font->weight > 0 ? std::clamp(font->weight, 100, 900) : 400;
    qfont.setWeight(static_cast<QFont::Weight>(weight));
    if (font) {
        qfont.setItalic(font->italic);
        qfont.setUnderline(font->underline);
        qfont.setStrikeOut(font->strikeOut);
    }
    return qfont;
}

// A positive height is a cell height: the largest pixel size whose ascent
// plus descent fits in it. A negative height is the character height, which
// is the pixel size itself.
int PixelSize(HFONT font)
{
    EnsureGuiApplication();
    if (!font)
        return 12;
    if (font->pixelSize > 0)
        return font->pixelSize;
    int size = 12;
    if (font->height < 0) {
        size = -font->height;
    } else if (font->height > 0) {
        size = 1;
        for (int candidate = font->height; candidate > 1; --candidate) {
            QFontMetrics metrics(MakeFont(font, candidate));
            if (metrics.ascent() + metrics.descent() <= font->height) {
                size = candidate;
                break;
            }
        }
    }
    font->pixelSize = std::min(size, 1000);
    return font->pixelSize;
}

// An image over the pixels, kept for the next text into the same pixels: a
// new image would set up a new paint engine for every text, which costs more
// than drawing the text itself. The image does not own the pixels.
QImage& ImageOver(CPixelBuffer& target)
{
    struct Kept {
        uchar* pixels { nullptr };
        int width { 0 };
        int height { 0 };
        std::unique_ptr<QImage> image;
    };
    thread_local Kept kept;
    auto* pixels = reinterpret_cast<uchar*>(target.pixels.data());
    if (!kept.image || kept.pixels != pixels || kept.width != target.width || kept.height != target.height) {
        kept.image = std::make_unique<QImage>(pixels, target.width, target.height, target.width * 4, QImage::Format_RGB32);
        kept.pixels = pixels;
        kept.width = target.width;
        kept.height = target.height;
    }
    return *kept.image;
}

// The font's glyph cache, one per face, size and style, so a text does not
// set up its font anew either.
CGlyphCache& CacheFor(HFONT font)
{
    const int size = PixelSize(font);
    using Key = std::tuple<std::wstring, int, int, bool, bool, bool>;
    const Key key = font ? Key { font->face.Str(), size, font->weight, font->italic, font->underline, font->strikeOut }
                         : Key { std::wstring(), size, 0, false, false, false };
    thread_local std::map<Key, std::unique_ptr<CGlyphCache>> caches;
    std::unique_ptr<CGlyphCache>& cache = caches[key];
    if (!cache)
        cache = std::make_unique<CGlyphCache>(MakeFont(font, size));
    return *cache;
}

}

CString ResolvedFontFamily(HFONT font)
{
    QFontInfo info(MakeFont(font, PixelSize(font)));
    return CString(info.family().toStdWString());
}

int ResolvedPixelSize(HFONT font)
{
    return PixelSize(font);
}

SIZE MeasureText(HFONT font, const CString& text)
{
    CGlyphCache& glyphs = CacheFor(font);
    const QString line = QString::fromStdWString(text.Str());
    int width = 0;
    if (!glyphs.Measure(line, &width))
        width = QFontMetrics(glyphs.Font()).horizontalAdvance(line);
    return SIZE { width, glyphs.LineHeight() };
}

int RasterText(CPixelBuffer& target, HFONT font, const CString& text, const RECT& rect, UINT format,
    std::uint32_t colour, bool opaque, std::uint32_t background, RECT* painted)
{
    *painted = { 0, 0, 0, 0 };
    if (target.width == 0 || target.height == 0)
        return 0;
    CGlyphCache& glyphs = CacheFor(font);
    const QFont& qfont = glyphs.Font();
    const int lineHeight = glyphs.LineHeight();

    QStringList lines;
    const QString all = QString::fromStdWString(text.Str());
    if (format & DT_SINGLELINE)
        lines << QString(all).replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    else
        lines = all.split(QLatin1Char('\n'));
    const int totalHeight = lineHeight * static_cast<int>(lines.size());

    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int y = rect.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect.top + (height - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect.bottom - lineHeight;
    }

    QRect clip(0, 0, target.width, target.height);
    if (!(format & DT_NOCLIP))
        clip &= QRect(rect.left, rect.top, std::max(0, width), std::max(0, height));
    if (clip.isEmpty())
        return totalHeight;

    *painted = { clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1 };
    const auto placeLine = [&](int textWidth) -> int {
        if (format & DT_CENTER)
            return rect.left + (width - textWidth) / 2;
        if (format & DT_RIGHT)
            return rect.right - textWidth;
        return rect.left;
    };
    colour &= 0x00FFFFFFu;
    int textWidth = 0;
    if (lines.size() == 1 && !qfont.underline() && !qfont.strikeOut() && glyphs.Measure(lines.front(), &textWidth)) {
        const int x = placeLine(textWidth);
        if (opaque) {
            const QRect fill = QRect(x, y, textWidth, lineHeight) & clip;
            for (int row = fill.top(); row <= fill.bottom(); ++row)
                std::fill_n(&target.At(fill.left(), row), fill.width(), background & 0x00FFFFFFu);
        }
        glyphs.Draw(target, lines.front(), x, y + glyphs.Ascent(), clip, colour);
        return totalHeight;
    }

    {
        const QFontMetrics metrics(qfont);
        QPainter painter(&ImageOver(target));
        painter.setClipRect(clip);
        painter.setFont(qfont);
        painter.setPen(QColor::fromRgb(colour));
        for (const QString& line : lines) {
            textWidth = metrics.horizontalAdvance(line);
            const int x = placeLine(textWidth);
            if (opaque)
                painter.fillRect(QRect(x, y, textWidth, lineHeight), QColor::fromRgb(background));
            painter.drawText(QPoint(x, y + glyphs.Ascent()), line);
            y += lineHeight;
        }
    }
    // The painter writes opaque pixels; our pixels keep the top byte zero.
    for (int row = clip.top(); row <= clip.bottom(); ++row) {
        for (int col = clip.left(); col <= clip.right(); ++col)
            target.At(col, row) &= 0x00FFFFFFu;
    }
    return totalHeight;
}
