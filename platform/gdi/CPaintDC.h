#pragma once

#include "platform/gdi/CDC.h"

class CWnd;

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    // The part of the client area to paint; drawing elsewhere is allowed
    // and shown as well, at the cost of painting more.
    RECT rcPaint;
};

// The DC a WM_PAINT handler draws with: the client area, which counts as
// painted (valid) once the DC is released.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps {};

private:
    HWND m_hWnd;
};
