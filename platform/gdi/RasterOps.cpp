#include "platform/gdi/RasterOps.h"

#include "platform/gdi/GdiConstants.h"

namespace {

constexpr std::uint32_t kRgb = 0x00FFFFFFu;

// One loop per operation, so the compiler can vectorise each row; the rows
// never overlap (BitBlt copies a source that is its own destination first).
template<typename Op>
void Row(std::uint32_t* __restrict dest, const std::uint32_t* __restrict src, int count)
{
    if (src) {
        for (int i = 0; i < count; ++i)
            dest[i] = Op::Apply(dest[i], src[i]) & kRgb;
    } else {
        for (int i = 0; i < count; ++i)
            dest[i] = Op::Apply(dest[i], 0u) & kRgb;
    }
}

struct Copy { static std::uint32_t Apply(std::uint32_t, std::uint32_t s) { return s; } };
struct And { static std::uint32_t Apply(std::uint32_t d, std::uint32_t s) { return d & s; } };
struct Paint { static std::uint32_t Apply(std::uint32_t d, std::uint32_t s) { return d | s; } };
struct Invert { static std::uint32_t Apply(std::uint32_t d, std::uint32_t s) { return d ^ s; } };
struct AndNot { static std::uint32_t Apply(std::uint32_t d, std::uint32_t s) { return d & ~s; } };
struct NotCopy { static std::uint32_t Apply(std::uint32_t, std::uint32_t s) { return ~s; } };
struct Black { static std::uint32_t Apply(std::uint32_t, std::uint32_t) { return 0u; } };
struct White { static std::uint32_t Apply(std::uint32_t, std::uint32_t) { return kRgb; } };

const RasterOp kOps[] = {
    { SRCCOPY, true, Row<Copy> },
    { SRCAND, true, Row<And> },
    { SRCPAINT, true, Row<Paint> },
    { SRCINVERT, true, Row<Invert> },
    { 0x00220326u, true, Row<AndNot> },
    { NOTSRCCOPY, true, Row<NotCopy> },
    { BLACKNESS, false, Row<Black> },
    { WHITENESS, false, Row<White> },
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
