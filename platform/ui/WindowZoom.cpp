#include "platform/ui/WindowZoom.h"

#include "platform/ui/CWindowBackend.h"
#include "platform/ui/WindowHandle.h"

#include <atomic>

namespace {

std::atomic<int> g_zoom { 0 };

}

int SetWindowZoom(int zoom)
{
    if (zoom != 0 && (zoom < kMinWindowZoom || zoom > kMaxWindowZoom))
        return 0;
    g_zoom = zoom;
    return 1;
}

int GetWindowZoom()
{
    return g_zoom;
}

int ChooseWindowZoom(int requested, int availableWidth, int availableHeight, int faceWidth, int faceHeight,
    BOOL* reduced)
{
    if (reduced)
        *reduced = FALSE;
    auto fits = [&](int zoom, int share) {
        return static_cast<long long>(faceWidth) * zoom <= availableWidth
            && static_cast<long long>(faceHeight) * zoom * share <= availableHeight;
    };
    const bool known = availableWidth > 0 && availableHeight > 0;
    int zoom = kMaxWindowZoom;
    if (requested >= kMinWindowZoom && requested <= kMaxWindowZoom) {
        if (!known || fits(requested, 1))
            return requested;
        zoom = requested;
        while (zoom > kMinWindowZoom && !fits(zoom, 1))
            --zoom;
        if (reduced)
            *reduced = zoom != requested;
        return zoom;
    }
    while (zoom > kMinWindowZoom && !fits(zoom, 2))
        --zoom;
    return zoom;
}

int ZoomWindow(HWND hwnd, int zoom)
{
    if (zoom < kMinWindowZoom || zoom > kMaxWindowZoom || !IsWindow(hwnd) || !hwnd->backend)
        return 0;
    return hwnd->backend->SetZoom(zoom);
}
