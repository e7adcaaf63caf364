#pragma once

#include "platform/ui/CPixelBuffer.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// Draws short texts of digits and the readouts' punctuation from glyph
// masks that Qt rasterised once, at the same sub-pixel positions and with
// the same blending as Qt's own text drawing, so the pixels are the same.
// Shaping and rasterising a changing readout anew on every refresh costs
// far more than copying its few glyphs.
//
// Every pair of characters is checked against Qt's own drawing the first
// time it is met; a text with a pair that differs (a ligature, a font with
// coloured glyphs ...) or with another character is left to Qt.
// One cache per font; not shared between threads.
class CGlyphCache {
public:
    explicit CGlyphCache(const QFont& font);

    const QFont& Font() const { return m_font; }
    int Ascent() const { return m_ascent; }
    int LineHeight() const { return m_lineHeight; }

    // The width of line as QFontMetrics::horizontalAdvance gives it; false
    // when the line is not one the cache can draw.
    bool Measure(const QString& line, int* width);
    // Draws a line that Measure accepted with its pen at (x, baseline) in
    // colour (0x00RRGGBB), inside clip, which lies inside target.
    void Draw(CPixelBuffer& target, const QString& line, int x, int baseline, const QRect& clip,
        std::uint32_t colour);

private:
    // A glyph's coverage at one sub-pixel offset, placed relative to the pen.
    struct Mask {
        int left { 0 };
        int top { 0 };
        int width { 0 };
        int height { 0 };
        std::vector<std::uint8_t> coverage;
        bool usable { false };
        bool made { false };
    };
    // Positions in 1/64 pixel, as the text engine counts them.
    using Fixed = std::int64_t;
    // The cached characters are numbered; the number kNone stands for no
    // character (before the first of a line).
    static constexpr int kCharacters = 16;
    static constexpr int kNone = kCharacters;
    static constexpr int kFractions = 64;
    static constexpr Fixed kUnknown = INT64_MIN;

    // The character's number, or -1 when it is not cached.
    static int Index(QChar c);
    static QChar Character(int index);
    Fixed Advance(int c);
    Fixed Kerning(int first, int second);
    // The pen's advance over line; false when a character is not cached or
    // its glyph does not fit its mask.
    bool Layout(const QString& line, Fixed* end);
    // Whether Qt draws first then second (second alone when first is kNone)
    // exactly as the masks do.
    bool PairDrawsAsQt(int first, int second);
    const Mask& MaskAt(int c, int fraction);
    // The premultiplied pen Qt blends for each coverage in colour.
    const std::array<std::uint32_t, 256>& PenFor(std::uint32_t colour);

    QFont m_font;
    int m_ascent { 0 };
    int m_lineHeight { 0 };
    // Each looked up once, on first use; kUnknown until then.
    std::array<Fixed, kCharacters> m_advances;
    std::array<std::array<Fixed, kCharacters>, kCharacters> m_kerning;
    // Pairs checked against Qt's drawing: 1 when they matched, 0 when not,
    // -1 before the check.
    std::array<std::array<std::int8_t, kCharacters>, kCharacters + 1> m_checked;
    std::vector<Mask> m_masks;
    // The pens of the last colours drawn: the readouts use a few colours.
    struct Pens {
        std::uint32_t colour { 0 };
        bool made { false };
        std::array<std::uint32_t, 256> pen {};
    };
    std::array<Pens, 4> m_pens;
    size_t m_nextPens { 0 };
};
