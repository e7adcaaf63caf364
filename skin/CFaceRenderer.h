#pragma once

#include "platform/gdi/CFont.h"
#include "skin/CFaceLayout.h"
#include "skin/CSkinDialog.h"

// The start-up face on a window without a screen: the skins, the two fonts
// and the twenty-one controls with their first texts, the volume at 1000
// and the position at 0. Tools, tests and benchmarks paint it headless.
class CFaceRenderer {
public:
    CFaceRenderer();

    CFont m_fontSmall;
    CFont m_fontLarge;
    CSkinDialog m_dialog { 102 };
    CFaceLayout m_layout;

    // Erases and paints the whole window; FALSE when a skin is missing.
    BOOL Render();
    // The window's pixels.
    const CPixelBuffer& Pixels() const;
};
