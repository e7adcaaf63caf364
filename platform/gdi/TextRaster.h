#pragma once

#include "platform/core/CString.h"
#include "platform/gdi/GdiHandles.h"

// Draws a text into 0x00RRGGBB pixels with the font of a DC, placed in the
// rectangle by DrawText's format flags and clipped to it unless DT_NOCLIP.
// Returns the height of the text and stores the area drawn in painted.
int RasterText(CPixelBuffer& target, HFONT font, const CString& text, const RECT& rect, UINT format,
    std::uint32_t colour, bool opaque, std::uint32_t background, RECT* painted);

// The width and height of one line of text in the font, as RasterText
// draws it.
SIZE MeasureText(HFONT font, const CString& text);

// The family the font's face resolves to on this machine, and its pixel size.
CString ResolvedFontFamily(HFONT font);
int ResolvedPixelSize(HFONT font);
