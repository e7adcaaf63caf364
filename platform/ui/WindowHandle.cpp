#include "platform/ui/WindowHandle.h"

#include "platform/ui/CWindowBackend.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <shared_mutex>

namespace {

// Guards the set of live handles; posts hold it while they queue and wake
// the window, so a handle cannot be destroyed in the middle of a post. Only
// creating and destroying a handle takes it alone: a window thread that the
// wake has just woken looks its handle up at once, and must not have to
// wait (and sleep again) until the posting thread has let go of it.
std::shared_mutex g_registryLock;
std::set<HWND> g_live;
std::atomic<HWND> g_capture { nullptr };
std::atomic<HWND> g_focus { nullptr };

bool IsLiveLocked(HWND hwnd)
{
    return hwnd && g_live.count(hwnd) != 0;
}

}

HWND CreateWindowHandle(CWnd* wnd, int width, int height, CWindowBackend* backend)
{
    auto* hwnd = new HWND__;
    hwnd->wnd = wnd;
    hwnd->backend = backend;
    hwnd->surface.Resize(width, height, 0);
    hwnd->rect = { 0, 0, width, height };
    std::unique_lock guard(g_registryLock);
    g_live.insert(hwnd);
    return hwnd;
}

void DestroyWindowHandle(HWND hwnd)
{
    {
        std::unique_lock guard(g_registryLock);
        if (!IsLiveLocked(hwnd))
            return;
        g_live.erase(hwnd);
    }
    HWND expected = hwnd;
    g_capture.compare_exchange_strong(expected, nullptr);
    expected = hwnd;
    g_focus.compare_exchange_strong(expected, nullptr);
    if (hwnd->backend)
        hwnd->backend->Destroyed();
    delete hwnd;
}

void SetWindowBackend(HWND hwnd, CWindowBackend* backend)
{
    std::unique_lock guard(g_registryLock);
    if (IsLiveLocked(hwnd))
        hwnd->backend = backend;
}

BOOL IsWindow(HWND hwnd)
{
    std::shared_lock guard(g_registryLock);
    return IsLiveLocked(hwnd) ? TRUE : FALSE;
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const MSG msg { hwnd, message, wParam, lParam };
    return PostMessagesW(hwnd, &msg, 1);
}

BOOL PostMessagesW(HWND hwnd, const MSG* messages, size_t count)
{
    std::shared_lock guard(g_registryLock);
    if (!IsLiveLocked(hwnd))
        return FALSE;
    // A control's messages wait in its dialog's queue, which is the one
    // dispatched; each still goes to the control it was posted to.
    HWND queue = hwnd;
    while (queue->parent && IsLiveLocked(queue->parent))
        queue = queue->parent;
    {
        std::lock_guard<std::mutex> queueGuard(queue->queueLock);
        for (size_t n = 0; n < count; ++n)
            queue->queue.push_back({ hwnd, messages[n].message, messages[n].wParam, messages[n].lParam });
    }
    if (queue->backend)
        queue->backend->Wake();
    return TRUE;
}

BOOL TakePostedMessage(HWND hwnd, MSG* msg)
{
    if (!IsWindow(hwnd))
        return FALSE;
    std::lock_guard<std::mutex> guard(hwnd->queueLock);
    if (hwnd->queue.empty())
        return FALSE;
    *msg = hwnd->queue.front();
    hwnd->queue.pop_front();
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
    if (!rect || !IsWindow(hwnd))
        return FALSE;
    *rect = { 0, 0, hwnd->surface.width, hwnd->surface.height };
    return TRUE;
}

BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase)
{
    if (!IsWindow(hwnd))
        return FALSE;
    RECT all { 0, 0, hwnd->surface.width, hwnd->surface.height };
    RECT area = rect ? *rect : all;
    if (hwnd->needsPaint) {
        area.left = std::min(area.left, hwnd->invalid.left);
        area.top = std::min(area.top, hwnd->invalid.top);
        area.right = std::max(area.right, hwnd->invalid.right);
        area.bottom = std::max(area.bottom, hwnd->invalid.bottom);
    }
    hwnd->invalid = area;
    hwnd->needsPaint = true;
    hwnd->needsErase = hwnd->needsErase || erase;
    if (hwnd->backend)
        hwnd->backend->Invalidate(area, erase != FALSE);
    return TRUE;
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text)
{
    if (!IsWindow(hwnd))
        return FALSE;
    hwnd->title = CString(text);
    if (hwnd->backend)
        hwnd->backend->SetTitle(hwnd->title);
    return TRUE;
}

CString GetWindowTextString(HWND hwnd)
{
    return IsWindow(hwnd) ? hwnd->title : CString();
}

HWND SetCapture(HWND hwnd)
{
    HWND previous = g_capture.exchange(hwnd);
    if (previous && previous != hwnd && IsWindow(previous) && previous->backend)
        previous->backend->SetCapture(false);
    if (IsWindow(hwnd) && hwnd->backend)
        hwnd->backend->SetCapture(true);
    return previous;
}

BOOL ReleaseCapture()
{
    HWND previous = g_capture.exchange(nullptr);
    if (previous && IsWindow(previous) && previous->backend)
        previous->backend->SetCapture(false);
    return TRUE;
}

HWND GetCapture()
{
    return g_capture.load();
}

HWND SetFocus(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return nullptr;
    HWND previous = g_focus.exchange(hwnd);
    if (hwnd->backend)
        hwnd->backend->SetFocus();
    return previous;
}

HWND GetFocus()
{
    return g_focus.load();
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point)
{
    if (!point || !IsWindow(hwnd))
        return FALSE;
    if (hwnd->backend)
        *point = hwnd->backend->ScreenToClient(*point);
    return TRUE;
}
