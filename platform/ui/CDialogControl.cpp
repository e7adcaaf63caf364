#include "platform/ui/CDialogControl.h"

#include "platform/ui/CWindowBackend.h"
#include "platform/ui/WindowHandle.h"

#include <algorithm>
#include <cwchar>

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
    m_listSelection = index >= 0 && static_cast<size_t>(index) < m_listItems.size() ? index : CB_ERR;
}

void CDialogControl::ListChanged()
{
    if (IsWindow(m_hWnd) && m_hWnd->backend)
        m_hWnd->backend->SetList(m_listItems, m_listSelection);
}
