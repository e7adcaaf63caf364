#include "platform/ui/Menu.h"

#include "platform/ui/WindowHandle.h"

#include <memory>
#include <mutex>
#include <vector>

struct HMENU__ {
    struct Item {
        UINT flags;
        UINT id;
        CString text;
        std::unique_ptr<HMENU__> popup;
    };
    std::vector<Item> items;
};

namespace {

std::mutex g_runnerLock;
PopupMenuRunner g_runner;

const HMENU__::Item* ItemAt(HMENU menu, int position)
{
    if (!menu || position < 0 || static_cast<size_t>(position) >= menu->items.size())
        return nullptr;
    return &menu->items[static_cast<size_t>(position)];
}

}

HMENU CreatePopupMenu()
{
    return new HMENU__;
}

BOOL DestroyMenu(HMENU menu)
{
    if (!menu)
        return FALSE;
    delete menu;
    return TRUE;
}

BOOL AppendMenuW(HMENU menu, UINT flags, std::uintptr_t id, LPCWSTR text)
{
    if (!menu)
        return FALSE;
    HMENU__::Item item { flags, 0, CString(), nullptr };
    if (flags & MF_POPUP) {
        if (!id)
            return FALSE;
        item.popup.reset(reinterpret_cast<HMENU>(id));
    } else {
        item.id = static_cast<UINT>(id);
    }
    if (!(flags & MF_SEPARATOR) && text)
        item.text = text;
    menu->items.push_back(std::move(item));
    return TRUE;
}

int GetMenuItemCount(HMENU menu)
{
    return menu ? static_cast<int>(menu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position)
{
    const auto* item = ItemAt(menu, position);
    return item && !item->popup ? item->id : static_cast<UINT>(-1);
}

UINT GetMenuState(HMENU menu, int position)
{
    const auto* item = ItemAt(menu, position);
    return item ? item->flags : static_cast<UINT>(-1);
}

HMENU GetSubMenu(HMENU menu, int position)
{
    const auto* item = ItemAt(menu, position);
    return item ? item->popup.get() : nullptr;
}

CString GetMenuText(HMENU menu, int position)
{
    const auto* item = ItemAt(menu, position);
    return item ? item->text : CString();
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, LPCRECT)
{
    if (!menu)
        return FALSE;
    PopupMenuRunner runner;
    {
        std::lock_guard<std::mutex> guard(g_runnerLock);
        runner = g_runner;
    }
    const UINT chosen = runner ? runner(menu, x, y, owner) : 0;
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(chosen);
    if (chosen == 0)
        return FALSE;
    PostMessageW(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
    return TRUE;
}

PopupMenuRunner SetPopupMenuRunner(PopupMenuRunner runner)
{
    std::lock_guard<std::mutex> guard(g_runnerLock);
    std::swap(g_runner, runner);
    return runner;
}
