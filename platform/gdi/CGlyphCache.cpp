#include "platform/gdi/CGlyphCache.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The characters of the position, time, tempo and transposition readouts.
constexpr char16_t kCachedCharacters[] = u"0123456789 +-.,:";
static_assert(sizeof(kCachedCharacters) / sizeof(char16_t) == 17);

// Each cached character's number, by its code (-1 for the others).
constexpr std::array<std::int8_t, 128> MakeIndexTable()
{
    std::array<std::int8_t, 128> table {};
    for (auto& entry : table)
        entry = -1;
    for (int n = 0; n < 16; ++n)
        table[static_cast<size_t>(kCachedCharacters[n])] = static_cast<std::int8_t>(n);
    return table;
}
constexpr std::array<std::int8_t, 128> kIndexOf = MakeIndexTable();

// Qt's rounding multiplication of the four bytes of x by a/255.
std::uint32_t ByteMul(std::uint32_t x, std::uint32_t a)
{
    std::uint32_t t = (x & 0xFF00FFu) * a;
    t = ((t + ((t >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
    x = ((x >> 8) & 0xFF00FFu) * a;
    x = (x + ((x >> 8) & 0xFF00FFu) + 0x800080u) & 0xFF00FF00u;
    return x | t;
}

std::int64_t FloorDiv64(std::int64_t value)
{
    return value >= 0 ? value / 64 : -((-value + 63) / 64);
}

// A background that shows any difference in blending.
void FillPattern(CPixelBuffer& buffer)
{
    for (size_t i = 0; i < buffer.pixels.size(); ++i)
        buffer.pixels[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0x00FFFFFFu;
}

}

CGlyphCache::CGlyphCache(const QFont& font)
    : m_font(font)
    , m_masks(static_cast<size_t>(kCharacters * kFractions))
{
    const QFontMetrics metrics(m_font);
    m_ascent = metrics.ascent();
    m_lineHeight = metrics.ascent() + metrics.descent();
    m_advances.fill(kUnknown);
    for (auto& row : m_kerning)
        row.fill(kUnknown);
    for (auto& row : m_checked)
        row.fill(-1);
}

int CGlyphCache::Index(QChar c)
{
    return c.unicode() < kIndexOf.size() ? kIndexOf[c.unicode()] : -1;
}

QChar CGlyphCache::Character(int index)
{
    return QChar(kCachedCharacters[index]);
}

CGlyphCache::Fixed CGlyphCache::Advance(int c)
{
    Fixed& advance = m_advances[static_cast<size_t>(c)];
    if (advance == kUnknown)
        advance = std::llround(QFontMetricsF(m_font).horizontalAdvance(Character(c)) * 64);
    return advance;
}

CGlyphCache::Fixed CGlyphCache::Kerning(int first, int second)
{
    Fixed& kerning = m_kerning[static_cast<size_t>(first)][static_cast<size_t>(second)];
    if (kerning == kUnknown) {
        const QString pair = QString(Character(first)) + Character(second);
        kerning = std::llround(QFontMetricsF(m_font).horizontalAdvance(pair) * 64) - Advance(first) - Advance(second);
    }
    return kerning;
}

bool CGlyphCache::Layout(const QString& line, Fixed* end)
{
    Fixed pen = 0;
    int previous = kNone;
    for (const QChar character : line) {
        const int c = Index(character);
        if (c < 0)
            return false;
        if (previous != kNone)
            pen += Kerning(previous, c);
        // A glyph cut off at the edge of its mask is left to Qt.
        if (!MaskAt(c, static_cast<int>(pen - FloorDiv64(pen) * 64)).usable)
            return false;
        pen += Advance(c);
        previous = c;
    }
    *end = pen;
    return true;
}

bool CGlyphCache::Measure(const QString& line, int* width)
{
    int previous = kNone;
    for (const QChar character : line) {
        // Any other character is left to Qt before anything is kept of it.
        const int c = Index(character);
        if (c < 0 || !PairDrawsAsQt(previous, c))
            return false;
        previous = c;
    }
    Fixed end = 0;
    if (!Layout(line, &end))
        return false;
    // Rounded as the text engine rounds a width.
    *width = static_cast<int>(FloorDiv64(end + 32));
    return true;
}

void CGlyphCache::Draw(CPixelBuffer& target, const QString& line, int x, int baseline, const QRect& clip,
    std::uint32_t colour)
{
    const std::array<std::uint32_t, 256>& pens = PenFor(colour);
    Fixed position = static_cast<Fixed>(x) * 64;
    int previous = kNone;
    for (const QChar character : line) {
        const int c = Index(character);
        if (previous != kNone)
            position += Kerning(previous, c);
        const Fixed whole = FloorDiv64(position);
        const Mask& mask = MaskAt(c, static_cast<int>(position - whole * 64));
        const int left = static_cast<int>(whole) + mask.left;
        const int top = baseline + mask.top;
        const int x0 = std::max(left, clip.left());
        const int x1 = std::min(left + mask.width, clip.right() + 1);
        const int y0 = std::max(top, clip.top());
        const int y1 = std::min(top + mask.height, clip.bottom() + 1);
        position += Advance(c);
        previous = c;
        if (x0 >= x1 || y0 >= y1)
            continue;
        for (int row = y0; row < y1; ++row) {
            const std::uint8_t* cover = &mask.coverage[static_cast<size_t>((row - top) * mask.width + (x0 - left))];
            std::uint32_t* out = &target.At(x0, row);
            for (int col = x0; col < x1; ++col, ++cover, ++out) {
                if (*cover == 0)
                    continue;
                if (*cover == 255) {
                    *out = colour;
                    continue;
                }
                const std::uint32_t source = pens[*cover];
                *out = (source + ByteMul(*out, 255 - (source >> 24))) & 0x00FFFFFFu;
            }
        }
    }
}

const std::array<std::uint32_t, 256>& CGlyphCache::PenFor(std::uint32_t colour)
{
    for (const Pens& pens : m_pens) {
        if (pens.made && pens.colour == colour)
            return pens.pen;
    }
    Pens& pens = m_pens[m_nextPens];
    m_nextPens = (m_nextPens + 1) % m_pens.size();
    pens.colour = colour;
    pens.made = true;
    for (std::uint32_t cover = 0; cover < 256; ++cover)
        pens.pen[cover] = ByteMul(0xFF000000u | colour, cover);
    return pens.pen;
}

const CGlyphCache::Mask& CGlyphCache::MaskAt(int c, int fraction)
{
    Mask& mask = m_masks[static_cast<size_t>(c * kFractions + fraction)];
    if (mask.made)
        return mask;
    mask.made = true;
    // Drawn in white over nothing, the alpha of each pixel is the coverage.
    const int margin = std::max(8, m_lineHeight);
    const int advance = static_cast<int>(FloorDiv64(Advance(c) + 63));
    QImage image(advance + 2 * margin, m_lineHeight + 2 * margin, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setFont(m_font);
        painter.setPen(QColor(255, 255, 255));
        painter.drawText(QPointF(margin + fraction / 64.0, margin + m_ascent), QString(Character(c)));
    }
    int left = image.width();
    int right = -1;
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    // A glyph that reaches the edge may have been cut off: not usable.
    mask.usable = right < 0 || (left > 0 && top > 0 && right < image.width() - 1 && bottom < image.height() - 1);
    if (right < 0)
        return mask;
    mask.left = left - margin;
    mask.top = top - margin - m_ascent;
    mask.width = right - left + 1;
    mask.height = bottom - top + 1;
    mask.coverage.resize(static_cast<size_t>(mask.width) * static_cast<size_t>(mask.height));
    for (int y = 0; y < mask.height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(top + y));
        for (int x = 0; x < mask.width; ++x)
            mask.coverage[static_cast<size_t>(y * mask.width + x)] = static_cast<std::uint8_t>(qAlpha(row[left + x]));
    }
    return mask;
}

bool CGlyphCache::PairDrawsAsQt(int first, int second)
{
    std::int8_t& checked = m_checked[static_cast<size_t>(first)][static_cast<size_t>(second)];
    if (checked >= 0)
        return checked != 0;
    const QString text = first == kNone ? QString(Character(second)) : QString(Character(first)) + Character(second);
    const int margin = std::max(8, m_lineHeight);
    const int width = static_cast<int>(FloorDiv64(Advance(second) + (first == kNone ? 0 : Advance(first)) + 63));
    CPixelBuffer qt;
    qt.Resize(width + 2 * margin, m_lineHeight + 2 * margin);
    FillPattern(qt);
    CPixelBuffer own = qt;
    const QRect clip(0, 0, qt.width, qt.height);
    const std::uint32_t colour = 0x007F3F7Fu;
    {
        QImage image(reinterpret_cast<uchar*>(qt.pixels.data()), qt.width, qt.height, qt.width * 4,
            QImage::Format_RGB32);
        QPainter painter(&image);
        painter.setFont(m_font);
        painter.setPen(QColor::fromRgb(colour));
        painter.drawText(QPoint(margin, margin + m_ascent), text);
    }
    for (std::uint32_t& p : qt.pixels)
        p &= 0x00FFFFFFu;
    Fixed end = 0;
    bool same = Layout(text, &end);
    if (same) {
        Draw(own, text, margin, margin + m_ascent, clip, colour);
        same = own.pixels == qt.pixels
            && QFontMetrics(m_font).horizontalAdvance(text) == static_cast<int>(FloorDiv64(end + 32));
    }
    checked = same ? 1 : 0;
    return same;
}
