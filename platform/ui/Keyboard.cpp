#include "platform/ui/Keyboard.h"

#include <atomic>

namespace {

std::atomic<bool> g_shift { false };
std::atomic<bool> g_control { false };

}

SHORT GetKeyState(int key)
{
    constexpr SHORT kDown = static_cast<SHORT>(0x8000);
    if (key == VK_SHIFT)
        return g_shift.load() ? kDown : 0;
    if (key == VK_CONTROL)
        return g_control.load() ? kDown : 0;
    return 0;
}

void SetKeyboardModifiers(bool shift, bool control)
{
    g_shift = shift;
    g_control = control;
}
