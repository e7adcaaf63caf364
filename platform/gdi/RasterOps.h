#pragma once

#include "platform/core/WinTypes.h"

#include <cstdint>

// The raster operations BitBlt knows: one entry per operation code.
struct RasterOp {
    DWORD code;
    bool usesSource;
    std::uint32_t (*apply)(std::uint32_t dest, std::uint32_t src);
};

// The entry for the code, or null when the operation is not supported.
const RasterOp* FindRasterOp(DWORD code);
