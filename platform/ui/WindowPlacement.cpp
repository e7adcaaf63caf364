#include "platform/ui/WindowPlacement.h"

#include "platform/ui/CWindowBackend.h"
#include "platform/ui/WindowHandle.h"

namespace {

LONG Width(const RECT& r)
{
    return r.right - r.left;
}

LONG Height(const RECT& r)
{
    return r.bottom - r.top;
}

}

BOOL ShowWindow(HWND hwnd, int command)
{
    if (!IsWindow(hwnd))
        return FALSE;
    const BOOL wasVisible = hwnd->visible ? TRUE : FALSE;
    hwnd->visible = command != SW_HIDE;
    if (hwnd->backend) {
        const bool activate = command == SW_SHOW || command == SW_SHOWNORMAL || command == SW_RESTORE;
        hwnd->backend->Show(hwnd->visible, activate);
    }
    return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd)
{
    for (HWND h = hwnd; h; h = h->parent) {
        if (!IsWindow(h) || !h->visible)
            return FALSE;
    }
    return hwnd ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    if (!IsWindow(hwnd))
        return FALSE;
    const BOOL wasDisabled = hwnd->enabled ? FALSE : TRUE;
    hwnd->enabled = enable != FALSE;
    if (hwnd->backend)
        hwnd->backend->Enable(hwnd->enabled);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    return IsWindow(hwnd) && hwnd->enabled ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd)
{
    return IsWindow(hwnd) ? hwnd->parent : nullptr;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect)
{
    if (!rect || !IsWindow(hwnd))
        return FALSE;
    if (!hwnd->parent) {
        if (!hwnd->backend || !hwnd->backend->WindowRect(*rect))
            *rect = hwnd->rect;
        return TRUE;
    }
    POINT origin { 0, 0 };
    ClientToScreen(hwnd->parent, &origin);
    *rect = { origin.x + hwnd->rect.left, origin.y + hwnd->rect.top, origin.x + hwnd->rect.right,
        origin.y + hwnd->rect.bottom };
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point)
{
    RECT rect;
    if (!point || !GetWindowRect(hwnd, &rect))
        return FALSE;
    point->x += rect.left;
    point->y += rect.top;
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL)
{
    if (!IsWindow(hwnd) || width < 0 || height < 0)
        return FALSE;
    const RECT rect { x, y, x + width, y + height };
    if (hwnd->fullScreen) {
        hwnd->normalRect = rect;
        return TRUE;
    }
    hwnd->rect = rect;
    if (hwnd->backend)
        hwnd->backend->Move(rect);
    if (hwnd->sizedSurface)
        ResizeClient(hwnd, width, height);
    return TRUE;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement)
{
    if (!placement || !IsWindow(hwnd))
        return FALSE;
    *placement = WINDOWPLACEMENT { sizeof(WINDOWPLACEMENT), 0, hwnd->visible ? UINT(SW_SHOWNORMAL) : UINT(SW_HIDE),
        { -1, -1 }, { -1, -1 }, {} };
    if (hwnd->fullScreen)
        placement->rcNormalPosition = hwnd->normalRect;
    else
        GetWindowRect(hwnd, &placement->rcNormalPosition);
    return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement)
{
    if (!placement || !IsWindow(hwnd))
        return FALSE;
    const RECT& r = placement->rcNormalPosition;
    if (!MoveWindow(hwnd, r.left, r.top, Width(r), Height(r), TRUE))
        return FALSE;
    ShowWindow(hwnd, static_cast<int>(placement->showCmd));
    return TRUE;
}

BOOL SetWindowFullScreen(HWND hwnd, BOOL fullScreen)
{
    if (!IsWindow(hwnd) || hwnd->parent)
        return FALSE;
    if ((fullScreen != FALSE) == hwnd->fullScreen)
        return TRUE;
    if (fullScreen) {
        GetWindowRect(hwnd, &hwnd->normalRect);
        hwnd->fullScreen = true;
        if (hwnd->backend)
            hwnd->backend->SetFullScreen(true);
        return TRUE;
    }
    hwnd->fullScreen = false;
    if (hwnd->backend)
        hwnd->backend->SetFullScreen(false);
    // Back where it was, or where it was moved to meanwhile.
    const RECT r = hwnd->normalRect;
    return MoveWindow(hwnd, r.left, r.top, Width(r), Height(r), TRUE);
}

BOOL IsWindowFullScreen(HWND hwnd)
{
    return IsWindow(hwnd) && hwnd->fullScreen ? TRUE : FALSE;
}

BOOL MapDialogRect(HWND, LPRECT rect)
{
    if (!rect)
        return FALSE;
    *rect = { rect->left * kPixelsPerDialogUnit, rect->top * kPixelsPerDialogUnit,
        rect->right * kPixelsPerDialogUnit, rect->bottom * kPixelsPerDialogUnit };
    return TRUE;
}

void ResizeClient(HWND hwnd, int width, int height)
{
    if (!IsWindow(hwnd) || width < 0 || height < 0)
        return;
    if (hwnd->surface.width == width && hwnd->surface.height == height)
        return;
    // Everything is painted anew at the new size.
    hwnd->surface.Resize(width, height, 0);
    hwnd->rect.right = hwnd->rect.left + width;
    hwnd->rect.bottom = hwnd->rect.top + height;
    hwnd->needsPaint = false;
    InvalidateRect(hwnd, nullptr, TRUE);
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height)));
}
