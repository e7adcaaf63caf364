#pragma once

#include "platform/gdi/CGdiObject.h"

// A font. A positive height is the cell height (ascent plus descent), a
// negative one the character height, as CreateFont takes them.
class CFont : public CGdiObject {
public:
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
        BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
        BYTE quality, BYTE pitchAndFamily, LPCWSTR face)
    {
        return Attach(::CreateFontW(height, width, escapement, orientation, weight, italic, underline,
            strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily, face));
    }
    HFONT GetFont() const { return static_cast<HFONT>(m_hObject); }
};
