#include "platform/gdi/BmpDecoder.h"
#include "platform/gdi/CBitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

void Put32(std::vector<unsigned char>& b, size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A 3 x 2 bitmap of 8 bits with a palette of the given size, bottom-up.
std::vector<unsigned char> Bmp8(int colours, int height = 2)
{
    const int stride = 4;
    std::vector<unsigned char> b(54 + colours * 4 + stride * std::abs(height), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, 54 + colours * 4);
    Put32(b, 14, 40);
    Put32(b, 18, 3);
    Put32(b, 22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 8;
    Put32(b, 46, static_cast<std::uint32_t>(colours));
    for (int i = 0; i < colours; ++i) {
        b[54 + i * 4 + 0] = static_cast<unsigned char>(i);          // blue
        b[54 + i * 4 + 1] = static_cast<unsigned char>(i * 2);      // green
        b[54 + i * 4 + 2] = static_cast<unsigned char>(i * 3);      // red
    }
    unsigned char* rows = b.data() + 54 + colours * 4;
    // Bottom row first in the file.
    rows[0] = 1;
    rows[1] = 2;
    rows[2] = 3;
    rows[4] = 4;
    rows[5] = 5;
    rows[6] = 200;
    return b;
}

}

TEST(GdiBmp, EightBitPaletteBitmapsBecomeRgbRowsTopDown)
{
    auto file = Bmp8(256);
    CPixelBuffer pixels;
    ASSERT_TRUE(DecodeBmp(file.data(), file.size(), pixels));
    ASSERT_EQ(pixels.width, 3);
    ASSERT_EQ(pixels.height, 2);
    EXPECT_EQ(pixels.At(0, 1), 0x00030201u);
    EXPECT_EQ(pixels.At(2, 1), 0x00090603u);
    EXPECT_EQ(pixels.At(0, 0), 0x000C0804u);
    EXPECT_EQ(pixels.At(2, 0), static_cast<std::uint32_t>((600 & 0xFF) << 16 | (400 & 0xFF) << 8 | 200));
}

TEST(GdiBmp, IndicesBeyondASmallPaletteReadAsBlack)
{
    auto file = Bmp8(16);
    CPixelBuffer pixels;
    ASSERT_TRUE(DecodeBmp(file.data(), file.size(), pixels));
    EXPECT_EQ(pixels.At(2, 0), 0u);
    EXPECT_EQ(pixels.At(0, 0), 0x000C0804u);
}

TEST(GdiBmp, DamagedFilesAreRefused)
{
    auto good = Bmp8(256);
    CPixelBuffer pixels;
    for (size_t cut : { size_t(0), size_t(20), size_t(60), good.size() - 1 })
        EXPECT_FALSE(DecodeBmp(good.data(), cut, pixels)) << cut;
    auto huge = good;
    Put32(huge, 18, 0x7FFFFFFF);
    EXPECT_FALSE(DecodeBmp(huge.data(), huge.size(), pixels));
    auto offsetOut = good;
    Put32(offsetOut, 10, 0xFFFFFFF0u);
    EXPECT_FALSE(DecodeBmp(offsetOut.data(), offsetOut.size(), pixels));
    auto compressed = good;
    Put32(compressed, 30, 1);
    EXPECT_FALSE(DecodeBmp(compressed.data(), compressed.size(), pixels));
    auto magic = good;
    magic[0] = 'X';
    EXPECT_FALSE(DecodeBmp(magic.data(), magic.size(), pixels));
    EXPECT_EQ(pixels.width, 0) << "a refused file leaves the output alone";
}

TEST(GdiBmp, TheSkinResourcesLoadAtFaceSize)
{
    for (UINT id : { 129u, 130u, 131u }) {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadBitmap(id)) << id;
        EXPECT_EQ(bitmap.Pixels()->width, 240);
        EXPECT_EQ(bitmap.Pixels()->height, 268);
    }
    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(4711));
    EXPECT_EQ(missing.Pixels(), nullptr);
}
