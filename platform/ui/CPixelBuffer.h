#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A block of 32-bit pixels, 0x00RRGGBB, rows top to bottom. Bitmaps and a
// window's client area are both held in one; the Qt backend shows it as a
// QImage of Format_RGB32 without conversion.
struct CPixelBuffer {
    int width { 0 };
    int height { 0 };
    std::vector<std::uint32_t> pixels;

    void Resize(int w, int h, std::uint32_t fill = 0)
    {
        width = w > 0 ? w : 0;
        height = h > 0 ? h : 0;
        pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    std::uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};
