#include "platform/gdi/CDC.h"
#include "skin/CSkinBadge.h"

#include <gtest/gtest.h>

#include <string>

// The badge on a 6 x 4 area: without a text it is the skin, pixel for pixel;
// with one, a dark band with its corners left to the skin.
TEST(SkinBadge, HiddenItIsTheSkinShownABandWithTheSkinsCorners)
{
    CBitmap skinBitmap;
    skinBitmap.CreateCompatibleBitmap(nullptr, 6, 4);
    CDC skin;
    skin.CreateCompatibleDC(nullptr);
    CBitmap* oldSkin = skin.SelectObject(&skinBitmap);
    RECT all { 0, 0, 6, 4 };
    skin.FillSolidRect(&all, RGB(1, 2, 3));
    skin.SelectObject(oldSkin);

    CSkinBadge badge;
    badge.m_pNormal = &skinBitmap;
    badge.m_rect = all;
    CBitmap target;
    target.CreateCompatibleBitmap(nullptr, 6, 4);
    CDC composite;
    composite.CreateCompatibleDC(nullptr);
    CBitmap* old = composite.SelectObject(&target);
    CDC skinDc;
    skinDc.CreateCompatibleDC(nullptr);
    // A text of a space draws the band alone.
    for (const auto& [text, rows] : { std::pair { L"", "......|......|......|......" }, std::pair { L" ", ".####.|######|######|.####." } }) {
        composite.FillSolidRect(&all, RGB(200, 200, 200));
        badge.SetText(CString(text));
        badge.Draw(&composite, nullptr, &skinDc);
        std::string drawn;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 6; ++x) {
                const COLORREF p = composite.GetPixel(x, y);
                drawn += p == RGB(1, 2, 3) ? '.' : p == CSkinBadge::kBand ? '#' : '?';
            }
            drawn += y < 3 ? "|" : "";
        }
        EXPECT_EQ(drawn, rows);
    }
    composite.SelectObject(old);
}
