#include "platform/ui/SysColor.h"

#include <atomic>

namespace {

constexpr int kElements = COLOR_BTNTEXT + 1;

// Any thread may read a colour while the backend sets them.
std::atomic<COLORREF> g_colors[kElements] = {
    {}, {}, {}, {}, {}, RGB(255, 255, 255), {}, {}, RGB(0, 0, 0), {}, {}, {}, {}, RGB(0, 120, 215),
    RGB(255, 255, 255), RGB(240, 240, 240), {}, RGB(109, 109, 109), RGB(0, 0, 0),
};

}

COLORREF GetSysColor(int element)
{
    return element >= 0 && element < kElements ? g_colors[element].load() : RGB(0, 0, 0);
}

BOOL SetSysColors(int count, const int* elements, const COLORREF* colors)
{
    if (count < 0 || (count > 0 && (!elements || !colors)))
        return FALSE;
    for (int n = 0; n < count; ++n) {
        if (elements[n] >= 0 && elements[n] < kElements)
            g_colors[elements[n]] = colors[n];
    }
    return TRUE;
}
