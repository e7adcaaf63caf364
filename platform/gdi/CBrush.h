#pragma once

#include "platform/gdi/CGdiObject.h"

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
    HBRUSH GetBrush() const { return static_cast<HBRUSH>(m_hObject); }
};
