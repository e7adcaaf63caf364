#pragma once

#include "platform/core/CString.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/CDialog.h"

class CSkinControl;
class CSkinButton;
class CSkinText;
class CSkinSlider;
class CSkinMeter;
class CSkinLoopMarks;
class CSkinBadge;

// A dialog whose face is made of skin controls: it owns the skins, the
// composite and work bitmaps and the control ring, paints the face, and
// routes the stylus to the controls.
class CSkinDialog : public CDialog {
public:
    using CDialog::CDialog;
    ~CSkinDialog() override;

    CBitmap m_bmpNormal;
    CBitmap m_bmpPressed;
    CBitmap m_bmpMask;
    CBitmap m_bmpComposite;
    CBitmap m_bmpWork;
    CSkinControl* m_pControls { nullptr };
    CSkinControl* m_pCaptured { nullptr };

    // Loads the three skins and makes the composite and work bitmaps the
    // size of the client area.
    void LoadSkins(UINT normal, UINT pressed, UINT mask);

    CSkinButton* AddButton(UINT id, CBitmap* normal, CBitmap* pressed, CBitmap* mask, RECT rect);
    CSkinText* AddText(CString text, CFont* font, COLORREF colour, UINT format, CBitmap* background, RECT rect);
    CSkinSlider* AddSlider(UINT id, POINT start, POINT end, POINT anchor, CBitmap* normal, CBitmap* pressed,
        CBitmap* mask, RECT thumb);
    CSkinMeter* AddMeter(int bars, RECT rect);
    CSkinLoopMarks* AddLoopMarks(RECT rect);
    CSkinBadge* AddBadge(RECT rect, CFont* font);

    // Composes every control (all) or the dirty ones over what target shows
    // and copies the result to target.
    void RedrawControls(CDC* target, BOOL all);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnEraseBkgnd(CDC* dc);
    void OnPaint();
    void OnLButtonDown(UINT flags, int x, int y);
    void OnLButtonUp(UINT flags, int x, int y);
    void OnMouseMove(UINT flags, int x, int y);

private:
    using StylusOperation = BOOL (CSkinControl::*)(UINT, int, int, CDC*);
    // Hands a stylus event to the captured control with a fresh probe DC
    // and redraws the dirty controls when it asks for it.
    void OfferToCaptured(StylusOperation operation, UINT flags, int x, int y);
    void Append(CSkinControl* control);

    // The composition's three memory DCs, made on the first redraw and kept:
    // a redraw a frame should not make and free three DCs with their stock
    // objects. Between redraws they hold no bitmap of the dialog's.
    CDC m_composeDC;
    CDC m_workDC;
    CDC m_skinDC;
};
