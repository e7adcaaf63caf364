#include "platform/ui/WindowZoom.h"

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

int ChooseWindowZoom(int requested, int availableHeight, int faceHeight)
{
    if (requested >= kMinWindowZoom && requested <= kMaxWindowZoom)
        return requested;
    int zoom = kMaxWindowZoom;
    while (zoom > kMinWindowZoom && static_cast<long long>(faceHeight) * zoom * 2 > availableHeight)
        --zoom;
    return zoom;
}
