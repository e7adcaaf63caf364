#pragma once

#include "platform/gdi/CDC.h"

class CWnd;

// A DC over the window's client area. Until the window exists it draws into
// a surface of its own, so callers never need to test for one.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
