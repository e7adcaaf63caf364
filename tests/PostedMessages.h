#pragma once

#include "platform/ui/WindowHandle.h"

#include <vector>

// Takes every message posted to the window so far, oldest first.
inline std::vector<MSG> DrainPostedMessages(HWND hwnd)
{
    std::vector<MSG> posted;
    MSG msg;
    while (TakePostedMessage(hwnd, &msg))
        posted.push_back(msg);
    return posted;
}
