// Sending a message calls into the window's class; it lives apart from the
// handle table so that a program that only posts to a window (the player
// thread's refreshes) links none of the window classes or the drawing
// services they pull in.

#include "platform/ui/CWnd.h"
#include "platform/ui/WindowHandle.h"

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(hwnd) || !hwnd->wnd)
        return 0;
    return hwnd->wnd->WindowProc(message, wParam, lParam);
}

int DispatchPostedMessages(HWND hwnd)
{
    int count = 0;
    MSG msg;
    while (TakePostedMessage(hwnd, &msg)) {
        SendMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        ++count;
    }
    return count;
}
