#pragma once

#include "platform/core/CString.h"
#include "platform/ui/CPixelBuffer.h"

// PNG files of pixel buffers, for the face renderer and golden-image tests.
BOOL WritePng(const CPixelBuffer& pixels, const CString& path);
BOOL ReadPng(const CString& path, CPixelBuffer& pixels);
