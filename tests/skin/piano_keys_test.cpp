#include "platform/gdi/CDC.h"
#include "skin/CPianoKeys.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// A surface of the keyboard's size, read back as one character a pixel.
struct Surface {
    CBitmap bitmap;
    CDC dc;
    CBitmap* old;
    int width;
    int height;
    Surface(int w, int h)
        : width(w)
        , height(h)
    {
        bitmap.CreateCompatibleBitmap(nullptr, w, h);
        dc.CreateCompatibleDC(nullptr);
        old = dc.SelectObject(&bitmap);
        RECT all { 0, 0, w, h };
        dc.FillSolidRect(&all, RGB(9, 9, 9));
    }
    ~Surface() { dc.SelectObject(old); }

    std::string Rows(const std::map<COLORREF, char>& names) const
    {
        std::string rows;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const auto name = names.find(dc.GetPixel(x, y));
                rows += name == names.end() ? '?' : name->second;
            }
            rows += '\n';
        }
        return rows;
    }
};

}

// An octave and a key, C4 to C5, five pixels a white key (too narrow for
// names): white keys with a dark join at their left and along their
// bottom, black keys three pixels wide centred on the joins, a lit black
// key with a black edge, a lit white key under its black neighbours; then
// only what changed is painted again, with the black keys over it.
TEST(PianoKeys, TinyKeyboardPaintsExactPixels)
{
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), dim = RGB(85, 0, 0);
    const std::map<COLORREF, char> names { { RGB(255, 255, 255), '.' }, { RGB(0, 0, 0), '#' },
        { RGB(64, 64, 64), '|' }, { red, 'r' }, { green, 'g' }, { dim, 'd' }, { RGB(9, 9, 9), ' ' } };
    CPianoKeys keys;
    keys.SetLayout(61, 72, RECT { 0, 0, 40, 10 });
    EXPECT_EQ(keys.First(), 60) << "a black key at the start widens to the white below";
    Surface surface(40, 10);
    EXPECT_TRUE(keys.SetKey(64, red));
    EXPECT_TRUE(keys.SetKey(66, green));
    EXPECT_TRUE(keys.SetKey(72, dim));
    EXPECT_FALSE(keys.SetKey(72, dim)) << "the same colour again changes nothing";
    EXPECT_FALSE(keys.SetKey(73, red)) << "outside the keyboard";
    keys.Paint(&surface.dc, TRUE);
    const std::string lit = "|...###..###rrr|...#g#..###..###...|dddd\n"
                            "|...###..###rrr|...#g#..###..###...|dddd\n"
                            "|...###..###rrr|...#g#..###..###...|dddd\n"
                            "|...###..###rrr|...#g#..###..###...|dddd\n"
                            "|...###..###rrr|...#g#..###..###...|dddd\n"
                            "|...###..###rrr|...###..###..###...|dddd\n"
                            "|....|....|rrrr|....|....|....|....|dddd\n"
                            "|....|....|rrrr|....|....|....|....|dddd\n"
                            "|....|....|rrrr|....|....|....|....|dddd\n"
                            "||||||||||||||||||||||||||||||||||||||||\n";
    EXPECT_EQ(surface.Rows(names), lit);

    // Put out, only E4 and F#4 are painted again: a colour drawn over the
    // rest shows where the paint did not go.
    RECT all { 0, 0, 40, 10 };
    surface.dc.FillSolidRect(&all, RGB(9, 9, 9));
    keys.SetKey(64, CPianoKeys::kUnlit);
    keys.SetKey(66, CPianoKeys::kUnlit);
    keys.Paint(&surface.dc, FALSE);
    EXPECT_EQ(surface.Rows(names), "         ###...    ###                  \n"
                                   "         ###...    ###                  \n"
                                   "         ###...    ###                  \n"
                                   "         ###...    ###                  \n"
                                   "         ###...    ###                  \n"
                                   "         ###...    ###                  \n"
                                   "          |....                         \n"
                                   "          |....                         \n"
                                   "          |....                         \n"
                                   "          |||||                         \n");
}
