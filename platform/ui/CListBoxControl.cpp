#include "platform/ui/CListBoxControl.h"

#include "platform/ui/Keyboard.h"
#include "platform/ui/WindowHandle.h"

#include <algorithm>
#include <cwchar>

namespace {

// Without LB_SETTABSTOPS a column starts every 32 dialog units.
constexpr int kDefaultTabStop = 32;
constexpr int kDefaultColumns = 8;

}

CListBoxControl::CListBoxControl(const CDialogTemplate::Item& item)
    : CDialogControl(item)
{
    if (item.HasStyle("LBS_USETABSTOPS")) {
        for (int n = 1; n <= kDefaultColumns; ++n)
            m_tabStops.push_back(n * kDefaultTabStop);
    }
}

LRESULT CListBoxControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case LB_ADDSTRING:
        return Insert(m_items.size(), lParam);
    case LB_INSERTSTRING:
        // -1 appends.
        return Insert(wParam == static_cast<WPARAM>(-1) ? m_items.size() : wParam, lParam);
    case LB_DELETESTRING:
        return Delete(wParam);
    case LB_RESETCONTENT:
        m_items.clear();
        m_selection = m_marked = LB_ERR;
        Changed(LB_RESETCONTENT);
        return 0;
    case LB_GETCOUNT:
        return Count();
    case LB_SETCURSEL:
        // -1 clears the selection, and answers LB_ERR all the same.
        m_selection = Valid(wParam) ? static_cast<int>(wParam) : LB_ERR;
        Changed(LB_SETCURSEL);
        return m_selection;
    case LB_GETCURSEL:
        return m_selection;
    case LB_GETTEXTLEN:
        return Valid(wParam) ? m_items[wParam].text.GetLength() : LB_ERR;
    case LB_GETTEXT: {
        // The caller's buffer holds LB_GETTEXTLEN characters and the zero.
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (!Valid(wParam) || !buffer)
            return LB_ERR;
        const CString& text = m_items[wParam].text;
        std::wmemcpy(buffer, text.GetString(), static_cast<size_t>(text.GetLength()) + 1);
        return text.GetLength();
    }
    case LB_GETITEMDATA:
        return Valid(wParam) ? m_items[wParam].data : LB_ERR;
    case LB_SETITEMDATA:
        if (!Valid(wParam))
            return LB_ERR;
        m_items[wParam].data = lParam;
        return 0;
    case LB_SETTABSTOPS: {
        if (!Item().HasStyle("LBS_USETABSTOPS"))
            return FALSE;
        // None: the default; one: a stop every that many units; more: each.
        const auto* stops = reinterpret_cast<const int*>(lParam);
        const int every = wParam == 0 ? kDefaultTabStop : wParam == 1 && stops ? stops[0] : 0;
        m_tabStops.clear();
        for (int n = 1; every > 0 && n <= kDefaultColumns; ++n)
            m_tabStops.push_back(n * every);
        for (WPARAM n = 0; every == 0 && stops && n < wParam; ++n)
            m_tabStops.push_back(stops[n]);
        Changed(LB_SETTABSTOPS);
        return TRUE;
    }
    case LB_SETMARKEDITEM:
        m_marked = Valid(wParam) ? static_cast<int>(wParam) : LB_ERR;
        Changed(LB_SETMARKEDITEM);
        return m_marked;
    case LB_GETMARKEDITEM:
        return m_marked;
    case WM_KEYDOWN:
        return KeyByUser(static_cast<UINT>(wParam)) ? 0 : 1;
    case WM_LBUTTONDBLCLK:
        DoubleClickByUser(m_selection);
        return 0;
    default:
        return CDialogControl::WindowProc(message, wParam, lParam);
    }
}

LRESULT CListBoxControl::Insert(WPARAM index, LPARAM text)
{
    if (index > m_items.size() || !text)
        return LB_ERR;
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(index), Entry { CString(reinterpret_cast<LPCWSTR>(text)) });
    // The selection and the mark stay on their items.
    for (int* kept : { &m_selection, &m_marked }) {
        if (*kept >= static_cast<int>(index))
            ++*kept;
    }
    Changed(LB_INSERTSTRING, index);
    return static_cast<LRESULT>(index);
}

LRESULT CListBoxControl::Delete(WPARAM index)
{
    if (!Valid(index))
        return LB_ERR;
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
    for (int* kept : { &m_selection, &m_marked }) {
        if (*kept == static_cast<int>(index))
            *kept = LB_ERR;
        else if (*kept > static_cast<int>(index))
            --*kept;
    }
    Changed(LB_DELETESTRING, index);
    return Count();
}

void CListBoxControl::SelectByUser(int index)
{
    if (!TakesInput())
        return;
    const int selection = index >= 0 && index < Count() ? index : LB_ERR;
    if (selection == m_selection)
        return;
    m_selection = selection;
    Changed(LB_SETCURSEL);
    if (Item().HasStyle("LBS_NOTIFY"))
        Notify(LBN_SELCHANGE);
}

void CListBoxControl::DoubleClickByUser(int index)
{
    if (!TakesInput() || index < 0 || index >= Count())
        return;
    SelectByUser(index);
    if (Item().HasStyle("LBS_NOTIFY"))
        Notify(LBN_DBLCLK);
}

void CListBoxControl::MoveByUser(int from, int to)
{
    if (!TakesInput() || !Item().HasStyle("LBS_DRAGREORDER") || from == to || from < 0 || to < 0 || from >= Count()
        || to >= Count())
        return;
    const auto first = m_items.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
    // Whatever lay between moves one place towards where the item was.
    for (int* kept : { &m_selection, &m_marked }) {
        if (*kept == from)
            *kept = to;
        else if (from < to && *kept > from && *kept <= to)
            --*kept;
        else if (to < from && *kept >= to && *kept < from)
            ++*kept;
    }
    Changed(LBN_ITEMMOVED, static_cast<WPARAM>(from));
    NMLBITEMMOVED moved { { m_hWnd, static_cast<std::uintptr_t>(Item().id), LBN_ITEMMOVED }, from, to };
    SendToParent(WM_NOTIFY, static_cast<WPARAM>(Item().id), reinterpret_cast<LPARAM>(&moved));
}

BOOL CListBoxControl::KeyByUser(UINT key)
{
    if (!TakesInput())
        return FALSE;
    LRESULT answer = -1;
    if (Item().HasStyle("LBS_WANTKEYBOARDINPUT")) {
        answer = SendToParent(WM_VKEYTOITEM,
            MAKEWPARAM(static_cast<WORD>(key), static_cast<WORD>(std::max(m_selection, 0))),
            reinterpret_cast<LPARAM>(m_hWnd));
    }
    if (answer == -2)
        return TRUE;
    if (answer >= 0) {
        SelectByUser(static_cast<int>(answer));
        return TRUE;
    }
    // The list's own keys move the selection.
    const int last = Count() - 1;
    switch (key) {
    case VK_UP: SelectByUser(std::max(0, m_selection - 1)); return TRUE;
    case VK_DOWN: SelectByUser(std::min(last, m_selection + 1)); return TRUE;
    case VK_HOME: SelectByUser(0); return TRUE;
    case VK_END: SelectByUser(last); return TRUE;
    default: return FALSE;
    }
}
