#include "platform/ui/CDialogControl.h"

#include "platform/ui/CButtonControl.h"
#include "platform/ui/CListBoxControl.h"
#include "platform/ui/COwnerDrawStatic.h"
#include "platform/ui/CProgressControl.h"
#include "platform/ui/CTrackBarControl.h"
#include "platform/ui/CWindowBackend.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/WindowHandle.h"
#include "platform/ui/WindowPlacement.h"

#include <algorithm>
#include <cwchar>

std::unique_ptr<CDialogControl> CDialogControl::Make(const CDialogTemplate::Item& item)
{
    const CString& kind = item.className;
    if (kind == L"BUTTON")
        return std::make_unique<CButtonControl>(item);
    if (kind == L"LISTBOX")
        return std::make_unique<CListBoxControl>(item);
    if (kind == TRACKBAR_CLASS)
        return std::make_unique<CTrackBarControl>(item);
    if (kind == PROGRESS_CLASS)
        return std::make_unique<CProgressControl>(item);
    if (kind == L"STATIC" && item.HasStyle("SS_OWNERDRAW"))
        return std::make_unique<COwnerDrawStatic>(item);
    return std::make_unique<CDialogControl>(item);
}

LRESULT CDialogControl::SendToParent(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return IsWindow(m_hWnd) ? SendMessageW(m_hWnd->parent, message, wParam, lParam) : 0;
}

void CDialogControl::Notify(UINT code) const
{
    SendToParent(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(m_item.id), static_cast<WORD>(code)),
        reinterpret_cast<LPARAM>(m_hWnd));
}

void CDialogControl::Changed(UINT message, WPARAM wParam) const
{
    if (IsWindow(m_hWnd) && m_hWnd->backend)
        m_hWnd->backend->ControlChanged(message, wParam);
}

bool CDialogControl::TakesInput() const
{
    return ::IsWindowEnabled(m_hWnd) && (!m_hWnd->parent || ::IsWindowEnabled(m_hWnd->parent));
}

LRESULT CDialogControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_item.className != L"COMBOBOX")
        return CWnd::WindowProc(message, wParam, lParam);
    const auto count = static_cast<WPARAM>(m_listItems.size());
    switch (message) {
    case CB_ADDSTRING:
        m_listItems.push_back(CString(reinterpret_cast<LPCWSTR>(lParam)));
        ListChanged();
        return static_cast<LRESULT>(m_listItems.size() - 1);
    case CB_RESETCONTENT:
        m_listItems.clear();
        m_listSelection = CB_ERR;
        ListChanged();
        return 0;
    case CB_GETCOUNT:
        return static_cast<LRESULT>(count);
    case CB_SETCURSEL:
        // An index past the list clears the selection and answers CB_ERR.
        m_listSelection = wParam < count ? static_cast<int>(wParam) : CB_ERR;
        ListChanged();
        return m_listSelection;
    case CB_GETCURSEL:
        return m_listSelection;
    case CB_GETLBTEXTLEN:
        return wParam < count ? m_listItems[wParam].GetLength() : CB_ERR;
    case CB_GETLBTEXT: {
        // The caller's buffer holds CB_GETLBTEXTLEN characters and the zero.
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (wParam >= count || !buffer)
            return CB_ERR;
        const CString& text = m_listItems[wParam];
        std::wmemcpy(buffer, text.GetString(), static_cast<size_t>(text.GetLength()) + 1);
        return text.GetLength();
    }
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CDialogControl::SelectFromBackend(int index)
{
    const int before = m_listSelection;
    m_listSelection = index >= 0 && static_cast<size_t>(index) < m_listItems.size() ? index : CB_ERR;
    if (m_listSelection != before)
        Notify(CBN_SELCHANGE);
}

void CDialogControl::ListChanged()
{
    if (IsWindow(m_hWnd) && m_hWnd->backend)
        m_hWnd->backend->SetList(m_listItems, m_listSelection);
}
