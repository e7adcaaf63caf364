#pragma once

#include "platform/core/CObject.h"
#include "platform/gdi/CDC.h"
#include "song/CRing.h"

#include <cstdint>

class CSkinDialog;

#define SKIN_BUTTON 1
#define SKIN_SLIDER 2
#define SKIN_TEXT 3
#define SKIN_METER 4

// A control of a skinned face: a node of the dialog's control ring that
// paints itself from the skins and answers the stylus.
class CSkinControl : public CObject {
public:
    CSkinControl();
    ~CSkinControl() override;

    std::int32_t m_kind { 0 };
    CSkinDialog* m_pParent { nullptr };
    BOOL m_bDirty { FALSE };

    CSkinControl* m_next;
    CSkinControl* m_prev;
    std::int32_t m_serial;
    std::uint16_t m_mark;
    static CRing::Counter s_serial;

    virtual void Draw(CDC* composite, CDC* work, CDC* skin);
    // The part of the face that Draw may change now (empty for none).
    virtual RECT DrawArea() const { return RECT { 0, 0, 0, 0 }; }
    // Non-zero: this control takes the stylus.
    virtual BOOL OnStylusDown(UINT flags, int x, int y, CDC* probe);
    // Non-zero: something must be redrawn.
    virtual BOOL OnStylusUp(UINT flags, int x, int y, CDC* probe);
    virtual BOOL OnStylusMove(UINT flags, int x, int y, CDC* probe);

protected:
    // Draws the image's pixels at src onto the composite at dest wherever
    // the mask is black; elsewhere the composite keeps its pixels.
    static void DrawMasked(CDC* composite, CDC* work, CDC* skin, const RECT& dest, POINT src, CBitmap* image,
        CBitmap* mask);
    // TRUE when (x, y) lies in rect and the mask is black there.
    static BOOL HitMask(CDC* probe, CBitmap* mask, const RECT& rect, int x, int y);
};
