#pragma once

#include "platform/ui/CDialogControl.h"

// A STATIC control with SS_OWNERDRAW: its client area is a surface of its
// own size that the dialog draws when the control is painted, on
// WM_DRAWITEM. With SS_NOTIFY a click reaches the dialog as STN_CLICKED and
// a double click as STN_DBLCLK.
class COwnerDrawStatic : public CDialogControl {
public:
    explicit COwnerDrawStatic(const CDialogTemplate::Item& item) : CDialogControl(item) { }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
