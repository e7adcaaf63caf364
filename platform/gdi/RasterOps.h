#pragma once

#include "platform/core/WinTypes.h"

#include <cstdint>

// The raster operations BitBlt knows: one entry per operation code. Each
// combines one row of pixels; src is null for operations without a source.
struct RasterOp {
    DWORD code;
    bool usesSource;
    void (*row)(std::uint32_t* dest, const std::uint32_t* src, int count);
};

// The entry for the code, or null when the operation is not supported.
const RasterOp* FindRasterOp(DWORD code);
