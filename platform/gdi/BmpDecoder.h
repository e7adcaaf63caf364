#pragma once

#include "platform/ui/CPixelBuffer.h"

#include <cstddef>

// Reads an uncompressed Windows bitmap file (1, 4, 8 bits with a palette, or
// 24 and 32 bits) into 0x00RRGGBB pixels. Every length and index is checked
// against the data; FALSE leaves out untouched.
bool DecodeBmp(const unsigned char* data, std::size_t size, CPixelBuffer& out);
