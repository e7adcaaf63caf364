#include "platform/gdi/RasterOps.h"

#include "platform/gdi/GdiConstants.h"

namespace {

constexpr std::uint32_t kRgb = 0x00FFFFFFu;

const RasterOp kOps[] = {
    { SRCCOPY, true, [](std::uint32_t, std::uint32_t s) { return s & kRgb; } },
    { SRCAND, true, [](std::uint32_t d, std::uint32_t s) { return d & s & kRgb; } },
    { SRCPAINT, true, [](std::uint32_t d, std::uint32_t s) { return (d | s) & kRgb; } },
    { SRCINVERT, true, [](std::uint32_t d, std::uint32_t s) { return (d ^ s) & kRgb; } },
    { 0x00220326u, true, [](std::uint32_t d, std::uint32_t s) { return d & ~s & kRgb; } },
    { NOTSRCCOPY, true, [](std::uint32_t, std::uint32_t s) { return ~s & kRgb; } },
    { BLACKNESS, false, [](std::uint32_t, std::uint32_t) { return 0u; } },
    { WHITENESS, false, [](std::uint32_t, std::uint32_t) { return kRgb; } },
};

}

const RasterOp* FindRasterOp(DWORD code)
{
    for (const RasterOp& op : kOps) {
        if (op.code == code)
            return &op;
    }
    return nullptr;
}
