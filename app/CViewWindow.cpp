#include "app/CViewWindow.h"

#include "app/CTabrinoDlg.h"
#include "platform/gdi/CPaintDC.h"
#include "platform/ui/CDialogTemplate.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/WindowPlacement.h"

CViewWindow::CViewWindow(CTabrinoDlg& player, CViewSettings::Placement& placement, const char* templateText)
    : CDialog(0, nullptr)
    , m_player(player)
    , m_placement(placement)
    , m_templateText(templateText)
{
}

CViewWindow::~CViewWindow()
{
    if (m_hWnd)
        DestroyWindow();
}

void CViewWindow::Open(BOOL activate)
{
    if (!m_hWnd) {
        CDialogTemplate dialogTemplate;
        if (!dialogTemplate.Parse(m_templateText) || !CreateIndirect(dialogTemplate, &m_player))
            return;
        RECT place = m_placement.rect;
        if (!m_placement.placed) {
            RECT player, own;
            m_player.GetWindowRect(&player);
            GetWindowRect(&own);
            place = DefaultPlace(player, own.right - own.left, own.bottom - own.top);
        }
        MoveWindow(&place);
    }
    ShowWindow(activate ? SW_SHOW : SW_SHOWNA);
    m_placement.open = TRUE;
    // A hidden window is not kept up to date.
    Layout();
}

void CViewWindow::Close()
{
    if (!m_hWnd)
        return;
    if (IsWindowFullScreen(m_hWnd))
        SetWindowFullScreen(m_hWnd, FALSE);
    KeepPlacement();
    ShowWindow(SW_HIDE);
    m_placement.open = FALSE;
}

void CViewWindow::KeepPlacement()
{
    CViewSettings::KeepPlacement(m_hWnd, m_placement);
}

LRESULT CViewWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        CPaintDC dc(this);
        PaintAll(&dc);
        return 0;
    }
    case WM_SIZE:
        Layout();
        return 0;
    case WM_KEYDOWN: {
        const auto key = static_cast<UINT>(wParam);
        if (key == VK_ESCAPE || key == VK_RETURN)
            break;
        if (!OnViewKey(key, (GetKeyState(VK_CONTROL) & 0x8000) ? TRUE : FALSE))
            m_player.SendMessage(WM_KEYDOWN, wParam, lParam);
        return 0;
    }
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
