#pragma once

#include "platform/core/CString.h"
#include "skin/CSkinControl.h"

#define SKIN_BADGE 6

class CFont;

// A small label laid over the face while a practice tool runs (the speed
// trainer's pass and tempo): light text on a dark rounded-off band. Without
// a text it shows the skin as it is, so the face is unchanged while the tool
// is not in use.
class CSkinBadge : public CSkinControl {
public:
    CSkinBadge();

    // The skin the area is restored from and the font (neither owned).
    CBitmap* m_pNormal { nullptr };
    CFont* m_pFont { nullptr };
    RECT m_rect { 0, 0, 0, 0 };

    // An empty text hides the badge; returns the dirty flag.
    BOOL SetText(const CString& text);
    const CString& Text() const { return m_strText; }

    void Draw(CDC* composite, CDC* work, CDC* skin) override;
    RECT DrawArea() const override { return m_rect; }

    static constexpr COLORREF kBand = RGB(32, 40, 56);
    static constexpr COLORREF kText = RGB(255, 200, 64);

private:
    CString m_strText;
};
