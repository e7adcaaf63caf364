#include "platform/ui/WindowHandle.h"

// Used only while no drawing services are linked: the window gets its
// WM_PAINT but no background erase, which needs a device context. The
// drawing services' own definition takes precedence.
__attribute__((weak)) BOOL UpdateWindow(HWND hwnd)
{
    if (!IsWindow(hwnd) || !hwnd->needsPaint)
        return TRUE;
    hwnd->needsPaint = false;
    hwnd->needsErase = false;
    SendMessageW(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}
