#include "platform/ui/COwnerDrawStatic.h"

#include "platform/gdi/CPaintDC.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/WindowPlacement.h"

LRESULT COwnerDrawStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        CPaintDC dc(this);
        DRAWITEMSTRUCT item { ODT_STATIC, static_cast<UINT>(Item().id), 0, ODA_DRAWENTIRE,
            ::IsWindowEnabled(m_hWnd) ? 0u : UINT(ODS_DISABLED), m_hWnd, dc.GetSafeHdc(), {}, 0 };
        GetClientRect(&item.rcItem);
        SendToParent(WM_DRAWITEM, static_cast<WPARAM>(Item().id), reinterpret_cast<LPARAM>(&item));
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (Item().HasStyle("SS_NOTIFY") && TakesInput())
            Notify(message == WM_LBUTTONDOWN ? STN_CLICKED : STN_DBLCLK);
        return 0;
    default:
        return CDialogControl::WindowProc(message, wParam, lParam);
    }
}
