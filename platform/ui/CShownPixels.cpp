#include "platform/ui/CShownPixels.h"

#include <algorithm>
#include <cstring>

namespace {

// Changed runs fewer than this many pixels apart are sent as one: each part
// costs the display a request of its own, which is dearer than a few pixels.
constexpr int kRunGap = 4;
// A part grows over this many unchanged rows: the cells of a meter bar that
// fall together go as one part, not one for each cell.
constexpr int kRowGap = 1;
// Surface pixels keep the top byte zero; a pixel never shown holds this, so
// it always counts as changed.
constexpr std::uint32_t kUnknown = 0xFF000000u;

const std::uint32_t* Row(const CPixelBuffer& buffer, LONG y)
{
    return buffer.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(buffer.width);
}

RECT Inside(const CPixelBuffer& surface, const RECT& area)
{
    return RECT { std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0),
        std::min<LONG>(area.right, surface.width), std::min<LONG>(area.bottom, surface.height) };
}

// The first pixel from x on (before end) that differs; end when none does.
// Equal pixels are skipped eight at a time, which the compiler vectorises.
LONG FirstChange(const std::uint32_t* now, const std::uint32_t* was, LONG x, LONG end)
{
    while (end - x >= 8) {
        std::uint32_t differs = 0;
        for (int i = 0; i < 8; ++i)
            differs |= now[x + i] ^ was[x + i];
        if (differs)
            break;
        x += 8;
    }
    while (x < end && now[x] == was[x])
        ++x;
    return x;
}

// Adds the run [left, right) of row y to the part it touches, or opens one.
void AddRun(std::vector<RECT>& open, LONG left, LONG right, LONG y)
{
    for (RECT& part : open) {
        if (part.left < right && left < part.right) {
            part.left = std::min(part.left, left);
            part.right = std::max(part.right, right);
            part.bottom = y + 1;
            return;
        }
    }
    open.push_back(RECT { left, y, right, y + 1 });
}

}

void CShownPixels::Changed(const CPixelBuffer& surface, const RECT& area, std::vector<RECT>& parts) const
{
    const RECT inside = Inside(surface, area);
    if (inside.left >= inside.right || inside.top >= inside.bottom)
        return;
    if (m_shown.width != surface.width || m_shown.height != surface.height) {
        parts.push_back(inside);
        return;
    }
    std::vector<RECT> open;
    for (LONG y = inside.top; y < inside.bottom; ++y) {
        const std::uint32_t* now = Row(surface, y);
        const std::uint32_t* was = Row(m_shown, y);
        LONG x = inside.left;
        if (std::memcmp(now + x, was + x, static_cast<size_t>(inside.right - x) * sizeof(std::uint32_t)) == 0)
            x = inside.right;
        while (x < inside.right) {
            x = FirstChange(now, was, x, inside.right);
            if (x == inside.right)
                break;
            const LONG left = x;
            LONG right = x + 1;
            for (LONG scan = right; scan < inside.right && scan - right < kRunGap; ++scan) {
                if (now[scan] != was[scan])
                    right = scan + 1;
            }
            AddRun(open, left, right, y);
            x = right;
        }
        // Parts that took no run in the last rows are complete.
        auto done = std::stable_partition(
            open.begin(), open.end(), [&](const RECT& part) { return part.bottom >= y + 1 - kRowGap; });
        parts.insert(parts.end(), done, open.end());
        open.erase(done, open.end());
    }
    parts.insert(parts.end(), open.begin(), open.end());
}

void CShownPixels::Shown(const CPixelBuffer& surface, const RECT& area)
{
    if (m_shown.width != surface.width || m_shown.height != surface.height)
        m_shown.Resize(surface.width, surface.height, kUnknown);
    const RECT inside = Inside(surface, area);
    if (inside.left >= inside.right)
        return;
    for (LONG y = inside.top; y < inside.bottom; ++y)
        std::copy(Row(surface, y) + inside.left, Row(surface, y) + inside.right, &m_shown.At(inside.left, y));
}
