#include "platform/gdi/BmpDecoder.h"

#include <cstdint>

namespace {

std::uint32_t Le32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t Le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

constexpr int kMaxSide = 8192;

}

bool DecodeBmp(const unsigned char* data, std::size_t size, CPixelBuffer& out)
{
    if (!data || size < 54 || data[0] != 'B' || data[1] != 'M')
        return false;
    const std::uint32_t pixelOffset = Le32(data + 10);
    const std::uint32_t headerSize = Le32(data + 14);
    if (headerSize < 40 || 14ull + headerSize > size)
        return false;
    const std::int32_t width = static_cast<std::int32_t>(Le32(data + 18));
    const std::int32_t rawHeight = static_cast<std::int32_t>(Le32(data + 22));
    const int bits = Le16(data + 28);
    const std::uint32_t compression = Le32(data + 30);
    std::uint32_t colours = Le32(data + 46);
    if (width <= 0 || width > kMaxSide || rawHeight == 0 || rawHeight < -kMaxSide || rawHeight > kMaxSide)
        return false;
    if (compression != 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return false;
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;

    const unsigned char* palette = data + 14 + headerSize;
    if (bits <= 8) {
        if (colours == 0 || colours > (1u << bits))
            colours = 1u << bits;
        if (static_cast<std::size_t>(palette - data) + colours * 4ull > size)
            return false;
    } else {
        colours = 0;
    }
    const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    if (pixelOffset > size || stride * static_cast<std::size_t>(height) > size - pixelOffset)
        return false;

    CPixelBuffer pixels;
    pixels.Resize(width, height);
    for (int row = 0; row < height; ++row) {
        const unsigned char* line = data + pixelOffset + stride * static_cast<std::size_t>(topDown ? row : height - 1 - row);
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = 0;
            if (bits <= 8) {
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (x % perByte + 1);
                const std::uint32_t index = (line[x / perByte] >> shift) & ((1u << bits) - 1);
                // An index beyond the palette reads as black.
                if (index < colours) {
                    const unsigned char* entry = palette + index * 4;
                    pixel = (static_cast<std::uint32_t>(entry[2]) << 16) | (entry[1] << 8) | entry[0];
                }
            } else {
                const unsigned char* p = line + static_cast<std::size_t>(x) * (bits / 8);
                pixel = (static_cast<std::uint32_t>(p[2]) << 16) | (p[1] << 8) | p[0];
            }
            pixels.At(x, row) = pixel;
        }
    }
    out = std::move(pixels);
    return true;
}
