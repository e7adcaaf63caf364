#pragma once

#include "platform/gdi/CDC.h"

class CWnd;

// The DC a WM_PAINT handler draws with: the client area, which counts as
// painted (valid) once the DC is released.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

private:
    HWND m_hWnd;
};
