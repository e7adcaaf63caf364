#pragma once

#include "platform/gdi/CGdiObject.h"

class CDC;

class CBitmap : public CGdiObject {
public:
    HBITMAP GetBitmap() const { return static_cast<HBITMAP>(m_hObject); }
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    // Loads a bitmap resource compiled into the program.
    BOOL LoadBitmap(UINT id);
    // The pixels, for tools and tests; null while empty.
    const CPixelBuffer* Pixels() const;
};
