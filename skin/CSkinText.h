#pragma once

#include "platform/core/CString.h"
#include "skin/CSkinControl.h"

// A read-only text drawn over its rectangle of the background image.
class CSkinText : public CSkinControl {
public:
    CSkinText();

    CFont* m_pFont { nullptr };
    CBitmap* m_pBackground { nullptr };
    RECT m_rect { 0, 0, 0, 0 };
    CString m_strText;
    COLORREF m_color { 0 };
    UINT m_nFormat { 0 };

    void Draw(CDC* composite, CDC* work, CDC* skin) override;
    RECT DrawArea() const override { return m_rect; }
    // Returns the dirty flag; an unchanged text leaves the control alone.
    BOOL SetText(CString text);
};
